#include "cli/terminal_prompter.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "platform/printable_text.h"

namespace stylomat::cli {

namespace {

Answer Positive(Buttons b) { return b == Buttons::Yes_No ? Answer::Yes : Answer::OK; }
Answer Negative(Buttons b) {
  switch (b) {
    case Buttons::Yes_No: return Answer::No;
    case Buttons::OK_Cancel: return Answer::Cancel;
    case Buttons::OK: return Answer::OK;
  }
  return Answer::OK;
}

const char* Name(Answer a) {
  switch (a) {
    case Answer::OK: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "";
}

}  // namespace

Answer Terminal_Prompter::Ask(const Question& q) {
  // Questions can quote what a tablet answered: shown escaped.
  out_ << "[" << Printable_Text(q.title) << "] " << Printable_Lines(q.text) << "\n";
  Answer answer = Negative(q.buttons);
  if (q.buttons == Buttons::OK) {
    answer = Answer::OK;
  } else if (fixed_) {
    answer = *fixed_ ? Positive(q.buttons) : Negative(q.buttons);
  } else if (::isatty(STDIN_FILENO)) {
    out_ << (q.buttons == Buttons::Yes_No ? "Yes/No? " : "OK/Cancel? ") << std::flush;
    std::string line;
    if (std::getline(std::cin, line) && !line.empty()) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
      if (c == 'y' || c == 'o') answer = Positive(q.buttons);
    }
  }
  out_ << "-> " << Name(answer) << "\n";
  return answer;
}

}  // namespace stylomat::cli
