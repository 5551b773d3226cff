#pragma once
// Message boxes.  The GUI answers with real dialogs, the CLI from its
// --answer option or the terminal, tests from a script.
#include <string>
#include <vector>

namespace stylomat {

enum class Buttons { OK, OK_Cancel, Yes_No };
enum class Answer { OK, Cancel, Yes, No };

struct Question {
  std::string text;
  std::string title;
  Buttons buttons = Buttons::OK;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer Ask(const Question& question) = 0;
  bool Ask_Yes_No(const std::string& text, const std::string& title) {
    return Ask({text, title, Buttons::Yes_No}) == Answer::Yes;
  }
  bool Ask_OK_Cancel(const std::string& text, const std::string& title) {
    return Ask({text, title, Buttons::OK_Cancel}) == Answer::OK;
  }
  void Inform(const std::string& text, const std::string& title) { Ask({text, title, Buttons::OK}); }
};

// Answers every question the same way (positive: Yes/OK, otherwise
// No/Cancel; an OK-only box is always OK) and remembers what was asked.
class Fixed_Prompter : public Prompter {
 public:
  explicit Fixed_Prompter(bool positive = false) : positive_(positive) {}
  Answer Ask(const Question& question) override {
    asked.push_back(question);
    switch (question.buttons) {
      case Buttons::OK: return Answer::OK;
      case Buttons::OK_Cancel: return positive_ ? Answer::OK : Answer::Cancel;
      case Buttons::Yes_No: return positive_ ? Answer::Yes : Answer::No;
    }
    return Answer::OK;
  }
  void Set_Positive(bool positive) { positive_ = positive; }
  std::vector<Question> asked;

 private:
  bool positive_;
};

// Answers from a list, in order; when the list runs out, answers negatively.
class Scripted_Prompter : public Prompter {
 public:
  explicit Scripted_Prompter(std::vector<Answer> answers = {}) : answers_(std::move(answers)) {}
  Answer Ask(const Question& question) override {
    asked.push_back(question);
    if (next_ < answers_.size()) return answers_[next_++];
    switch (question.buttons) {
      case Buttons::OK: return Answer::OK;
      case Buttons::OK_Cancel: return Answer::Cancel;
      case Buttons::Yes_No: return Answer::No;
    }
    return Answer::OK;
  }
  std::vector<Question> asked;

 private:
  std::vector<Answer> answers_;
  std::size_t next_ = 0;
};

}  // namespace stylomat
