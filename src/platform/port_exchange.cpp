#include "platform/port_exchange.h"

#include <type_traits>

namespace stylomat {

namespace {

using Call = Port_Exchange::Call;
using Step = Port_Exchange::Step;

Step Make_Step(Call call, std::string text = {}, double number = 0) {
  Step step;
  step.call = call;
  step.text = std::move(text);
  step.number = number;
  return step;
}

void Put_Answer(Step& step, const std::string& bytes) { step.text = bytes; }
void Put_Answer(Step& step, std::size_t count) { step.answer = count; }
void Put_Answer(Step& step, bool yes) { step.answer = yes ? 1 : 0; }

const char* Call_Name(Call call) {
  switch (call) {
    case Call::Open: return "Open";
    case Call::Close: return "Close";
    case Call::Bytes_Waiting: return "Bytes_Waiting";
    case Call::Read: return "Read";
    case Call::Write: return "Write";
    case Call::Bytes_Unsent: return "Bytes_Unsent";
    case Call::Set_DTR: return "Set_DTR";
    case Call::Set_RTS: return "Set_RTS";
    case Call::Set_Break: return "Set_Break";
    case Call::Wait_For_Input: return "Wait_For_Input";
  }
  return "?";
}

bool Same_Question(const Question& a, const Question& b) {
  return a.text == b.text && a.title == b.title && a.buttons == b.buttons;
}

}  // namespace

// ---- recording --------------------------------------------------------------

template <class Call_Device>
auto Recording_Backend::Record(Step step, Call_Device call_device) {
  using Result = decltype(call_device());
  try {
    if constexpr (std::is_void_v<Result>) {
      call_device();
      if (exchange_.recording) exchange_.steps.push_back(std::move(step));
    } else {
      Result result = call_device();
      if (exchange_.recording) {
        Put_Answer(step, result);
        exchange_.steps.push_back(std::move(step));
      }
      return result;
    }
  } catch (const Port_Error& e) {
    if (exchange_.recording) {
      step.failure = e;
      exchange_.steps.push_back(std::move(step));
    }
    throw;
  }
}

void Recording_Backend::Open(const Framing& framing) {
  Record(Make_Step(Call::Open, Framing_Text(framing)), [&] { device_.Open(framing); });
}

void Recording_Backend::Close() {
  Record(Make_Step(Call::Close), [&] { device_.Close(); });
}

std::size_t Recording_Backend::Bytes_Waiting() {
  return Record(Make_Step(Call::Bytes_Waiting), [&] { return device_.Bytes_Waiting(); });
}

std::string Recording_Backend::Read(std::size_t max_bytes) {
  return Record(Make_Step(Call::Read, {}, static_cast<double>(max_bytes)), [&] { return device_.Read(max_bytes); });
}

void Recording_Backend::Write(std::string_view bytes) {
  Record(Make_Step(Call::Write, std::string(bytes)), [&] { device_.Write(bytes); });
}

std::size_t Recording_Backend::Bytes_Unsent() {
  return Record(Make_Step(Call::Bytes_Unsent), [&] { return device_.Bytes_Unsent(); });
}

void Recording_Backend::Set_DTR(bool on) {
  Record(Make_Step(Call::Set_DTR, {}, on ? 1 : 0), [&] { device_.Set_DTR(on); });
}

void Recording_Backend::Set_RTS(bool on) {
  Record(Make_Step(Call::Set_RTS, {}, on ? 1 : 0), [&] { device_.Set_RTS(on); });
}

void Recording_Backend::Set_Break(bool on) {
  Record(Make_Step(Call::Set_Break, {}, on ? 1 : 0), [&] { device_.Set_Break(on); });
}

bool Recording_Backend::Wait_For_Input(Clock& /*the port's recording clock*/, double max_seconds) {
  return Record(Make_Step(Call::Wait_For_Input, {}, max_seconds),
                [&] { return device_.Wait_For_Input(wait_clock_, max_seconds); });
}

double Recording_Clock::Now() {
  const double t = clock_.Now();
  if (exchange_.recording) exchange_.readings.push_back(t);
  return t;
}

Answer Recording_Prompter::Ask(const Question& question) {
  const Answer answer = asker_.Ask(question);
  if (exchange_.recording) exchange_.asked.push_back({question, answer});
  return answer;
}

// ---- replaying --------------------------------------------------------------

const Step& Replaying_Backend::Next(Call call, std::string_view text, double number) {
  if (mismatch_.empty()) {
    if (next_ >= exchange_.steps.size()) {
      mismatch_ = std::string(Call_Name(call)) + " after the last recorded call";
    } else {
      const Step& step = exchange_.steps[next_];
      const std::string which = "call " + std::to_string(next_ + 1);
      if (step.call != call) {
        mismatch_ = std::string(Call_Name(call)) + " where " + which + " was " + Call_Name(step.call);
      } else if (step.number != number || (call != Call::Read && step.text != text)) {
        mismatch_ = which + ", " + Call_Name(call) + ", with other arguments";
      }
    }
  }
  if (!mismatch_.empty()) throw Exchange_Mismatch("the replayed search left its recording: " + mismatch_);
  const Step& step = exchange_.steps[next_++];
  if (step.failure) throw *step.failure;
  return step;
}

void Replaying_Backend::Open(const Framing& framing) {
  if (finished_) return;
  Next(Call::Open, Framing_Text(framing));
  open_ = true;
}

void Replaying_Backend::Close() {
  if (finished_) return;
  open_ = false;
  Next(Call::Close);
}

std::size_t Replaying_Backend::Bytes_Waiting() { return finished_ ? 0 : Next(Call::Bytes_Waiting).answer; }

std::string Replaying_Backend::Read(std::size_t max_bytes) {
  return finished_ ? std::string() : Next(Call::Read, {}, static_cast<double>(max_bytes)).text;
}

void Replaying_Backend::Write(std::string_view bytes) {
  if (!finished_) Next(Call::Write, bytes);
}

std::size_t Replaying_Backend::Bytes_Unsent() { return finished_ ? 0 : Next(Call::Bytes_Unsent).answer; }

void Replaying_Backend::Set_DTR(bool on) {
  if (!finished_) Next(Call::Set_DTR, {}, on ? 1 : 0);
}

void Replaying_Backend::Set_RTS(bool on) {
  if (!finished_) Next(Call::Set_RTS, {}, on ? 1 : 0);
}

void Replaying_Backend::Set_Break(bool on) {
  if (!finished_) Next(Call::Set_Break, {}, on ? 1 : 0);
}

bool Replaying_Backend::Wait_For_Input(Clock&, double max_seconds) {
  return !finished_ && Next(Call::Wait_For_Input, {}, max_seconds).answer != 0;
}

void Replaying_Backend::Finish() {
  if (finished_) return;
  finished_ = true;
  if (!mismatch_.empty()) throw Exchange_Mismatch("the replayed search left its recording: " + mismatch_);
  if (next_ != exchange_.steps.size()) {
    throw Exchange_Mismatch("the replayed search ended after " + std::to_string(next_) + " of " +
                            std::to_string(exchange_.steps.size()) + " recorded calls");
  }
}

double Replaying_Clock::Now() {
  if (next_ >= exchange_.readings.size()) {
    throw Exchange_Mismatch("the replayed search read the clock more often than the search");
  }
  return exchange_.readings[next_++];
}

void Replaying_Clock::Finish() const {
  if (next_ != exchange_.readings.size()) {
    throw Exchange_Mismatch("the replayed search read the clock " + std::to_string(next_) + " of " +
                            std::to_string(exchange_.readings.size()) + " times");
  }
}

Answer Replaying_Prompter::Ask(const Question& question) {
  if (next_ >= exchange_.asked.size() || !Same_Question(exchange_.asked[next_].question, question)) {
    throw Exchange_Mismatch("the replayed search asked a question the search did not: " + question.title);
  }
  return exchange_.asked[next_++].answer;
}

void Replaying_Prompter::Finish() const {
  if (next_ != exchange_.asked.size()) throw Exchange_Mismatch("the replayed search left a question unasked");
}

}  // namespace stylomat
