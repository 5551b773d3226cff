#pragma once
// A port search's exchange with the world, recorded while the search runs
// and replayed to run the same search once more without the port: every
// call its Serial_Port made of the device with the device's answer (or the
// failure it raised), every reading of the clock and every question with
// its answer, each in order.
//
// The parallel search records each port's search on that port's own
// thread, then replays it on the main session in port order.  The search's
// code is the same both times; given the same answers from the device, the
// clock and the user it takes the same steps, so the replay writes the
// log, the identity and the framing values exactly as the search writes
// them when it runs there.  Should the replay ask for anything the search
// did not (the values it started from made it take another step), the
// replay stops with Exchange_Mismatch.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/serial_port.h"

namespace stylomat {

class Exchange_Mismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Port_Exchange {
  enum class Call : std::uint8_t {
    Open, Close, Bytes_Waiting, Read, Write, Bytes_Unsent, Set_DTR, Set_RTS, Set_Break, Wait_For_Input
  };
  struct Step {
    Call call = Call::Close;
    // What the call was given: Open's framing text, Write's bytes, Read's
    // largest count, the line's state (0 or 1), Wait_For_Input's seconds.
    std::string text;
    double number = 0;
    // What it answered: Read's bytes in `text`; the counts and
    // Wait_For_Input's answer (0 or 1) in `answer`.
    std::size_t answer = 0;
    std::optional<Port_Error> failure;
  };
  struct Asked {
    Question question;
    Answer answer = Answer::OK;
  };

  // Only what happens while recording is on is kept.
  bool recording = false;
  std::vector<Step> steps;
  std::vector<double> readings;
  std::vector<Asked> asked;
};

// The device of a port, with everything the port asks of it recorded.  Its
// waits for input sleep on `wait_clock`, not on the (recording) clock the
// port passes, so that only the search's own readings are kept.
class Recording_Backend final : public Port_Backend {
 public:
  Recording_Backend(Port_Backend& device, Clock& wait_clock, Port_Exchange& exchange)
      : device_(device), wait_clock_(wait_clock), exchange_(exchange) {}

  void Open(const Framing& framing) override;
  void Close() override;
  bool Is_Open() const override { return device_.Is_Open(); }
  std::size_t Bytes_Waiting() override;
  std::string Read(std::size_t max_bytes) override;
  void Write(std::string_view bytes) override;
  std::size_t Bytes_Unsent() override;
  void Set_DTR(bool on) override;
  void Set_RTS(bool on) override;
  void Set_Break(bool on) override;
  bool Wait_For_Input(Clock& clock, double max_seconds) override;

 private:
  // Runs the call on the device and keeps the step with its answer, or
  // with the failure it raised (which goes on).
  template <class Call_Device>
  auto Record(Port_Exchange::Step step, Call_Device call_device);

  Port_Backend& device_;
  Clock& wait_clock_;
  Port_Exchange& exchange_;
};

// A clock whose readings are kept.
class Recording_Clock final : public Clock {
 public:
  Recording_Clock(Clock& clock, Port_Exchange& exchange) : clock_(clock), exchange_(exchange) {}
  double Now() override;
  void Sleep_Until(double t) override { clock_.Sleep_Until(t); }
  bool Is_Virtual() const override { return clock_.Is_Virtual(); }

 private:
  Clock& clock_;
  Port_Exchange& exchange_;
};

// Questions put to `asker`, kept with their answers.
class Recording_Prompter final : public Prompter {
 public:
  Recording_Prompter(Prompter& asker, Port_Exchange& exchange) : asker_(asker), exchange_(exchange) {}
  Answer Ask(const Question& question) override;

 private:
  Prompter& asker_;
  Port_Exchange& exchange_;
};

// The device as the exchange recorded it: each call must be the next one
// recorded, with the same arguments, and gets the recorded answer.
class Replaying_Backend final : public Port_Backend {
 public:
  explicit Replaying_Backend(const Port_Exchange& exchange) : exchange_(exchange) {}

  void Open(const Framing& framing) override;
  void Close() override;
  bool Is_Open() const override { return open_; }
  std::size_t Bytes_Waiting() override;
  std::string Read(std::size_t max_bytes) override;
  void Write(std::string_view bytes) override;
  std::size_t Bytes_Unsent() override;
  void Set_DTR(bool on) override;
  void Set_RTS(bool on) override;
  void Set_Break(bool on) override;
  bool Wait_For_Input(Clock& clock, double max_seconds) override;

  // The replay is over: every recorded step must have been taken (throws
  // Exchange_Mismatch otherwise, or when a call did not match, even one
  // whose failure the port swallowed).  Calls after it do nothing.
  void Finish();

 private:
  const Port_Exchange::Step& Next(Port_Exchange::Call call, std::string_view text = {}, double number = 0);

  const Port_Exchange& exchange_;
  std::size_t next_ = 0;
  bool open_ = false;
  bool finished_ = false;
  std::string mismatch_;  // the first call that did not match
};

// The clock as the search read it: each reading is the next one recorded;
// sleeping takes no time (the readings already say when the search woke).
class Replaying_Clock final : public Clock {
 public:
  explicit Replaying_Clock(const Port_Exchange& exchange) : exchange_(exchange) {}
  double Now() override;
  void Sleep_Until(double) override {}
  bool Is_Virtual() const override { return true; }
  // Every reading must have been taken.
  void Finish() const;

 private:
  const Port_Exchange& exchange_;
  std::size_t next_ = 0;
};

// The user as the search asked: each question must be the next one
// recorded, and gets its answer.
class Replaying_Prompter final : public Prompter {
 public:
  explicit Replaying_Prompter(const Port_Exchange& exchange) : exchange_(exchange) {}
  Answer Ask(const Question& question) override;
  void Finish() const;

 private:
  const Port_Exchange& exchange_;
  std::size_t next_ = 0;
};

}  // namespace stylomat
