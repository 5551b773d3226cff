#pragma once
// The threads of a parallel search (one per port, each running that port's
// search on a session of its own) and the main thread that waits for them.
// One lock guards everything they share; nothing else is shared.
//
// Time.  Each port's thread sleeps through its own clock (Port_Clock).  On
// a real clock the threads sleep side by side.  On a virtual clock time
// moves only while no port's thread runs: the main thread, in
// Wait_For_Change, moves it to the earliest wake-up and lets every thread
// that waits for that moment run.  Threads woken together run together,
// but each on its own port and session, so a run comes out the same
// however the system schedules them.  The main thread works on the main
// session (whose clock is the same one) only while every port's thread is
// parked.
//
// Questions and verdicts.  A port's thread asks its questions through
// Port_Prompter and, having found a tablet, waits for the verdict whether
// it keeps the port open; the main thread answers both when the port's turn
// in the port order comes.
//
// Stopping.  Stop(n) makes the next sleep or question of port n's thread
// throw Search_Stopped, once (a verdict it waits for becomes "let go");
// afterwards the thread may sleep again while it lets go of its port.
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/serial_port.h"

namespace stylomat {

// Thrown into a port's search that is no longer wanted.  Not an exception
// the search's code knows: it passes through every probe.
struct Search_Stopped {};

class Search_Turns {
 public:
  enum class Phase { Idle, Running, Sleeping, Asking, Found, Done };

  explicit Search_Turns(Clock& clock);
  Search_Turns(const Search_Turns&) = delete;
  Search_Turns& operator=(const Search_Turns&) = delete;

  // The clock and the prompter of port n's thread.
  Clock& Port_Clock(int n);
  Prompter& Port_Prompter(int n);

  // ---- port n's thread ----
  // The thread's first step: on a virtual clock it waits for its first turn.
  void Enter(int n);
  void Sleep_Until(int n, double t);
  Answer Ask(int n, const Question& question);
  // Waits for the verdict on the tablet found: true, keep the port open.
  bool Wait_For_Verdict(int n);
  // The thread's last step.
  void Leave(int n);

  // ---- the main thread ----
  // Port n's thread is about to start.
  void Start(int n);
  // Lets the threads go on until something changed (a thread parked, asked,
  // found a tablet or left) or, on a real clock, 10 ms passed.  On a
  // virtual clock it returns once no port's thread runs; false when none
  // could be woken (every one waits for the main thread or has left).
  bool Wait_For_Change();
  Phase Phase_Of(int n);
  std::optional<Question> Question_Of(int n);
  void Answer_Question(int n, Answer answer);
  void Give_Verdict(int n, bool keep);
  void Stop(int n);
  bool All_Left();

 private:
  struct Slot {
    Phase phase = Phase::Idle;
    double wake = 0;
    bool go = false;  // virtual clock: the main thread lets it run
    bool stop = false;
    bool stop_delivered = false;
    std::optional<Question> question;
    std::optional<Answer> answer;
    std::optional<bool> verdict;
  };
  class Thread_Clock;
  class Thread_Prompter;

  Slot& At(int n);
  bool Stop_Pending(const Slot& slot) const { return slot.stop && !slot.stop_delivered; }
  void Deliver_Stop(Slot& slot);
  bool Resumable(const Slot& slot, double now) const;
  // Parks the calling port's thread in `phase` until it may go on.
  void Park(std::unique_lock<std::mutex>& lock, Slot& slot, Phase phase);
  bool Any_Running() const;
  bool Resume_All_Resumable(double now);
  void Changed();

  Clock& clock_;
  const bool virtual_;
  std::mutex mutex_;
  std::condition_variable changed_;  // the main thread waits here
  std::condition_variable wake_;     // the ports' threads wait here
  unsigned long version_ = 0;
  unsigned long seen_ = 0;
  std::array<Slot, Port_Directory::Last_Com + 1> slots_{};
  std::array<std::unique_ptr<Clock>, Port_Directory::Last_Com + 1> clocks_{};
  std::array<std::unique_ptr<Prompter>, Port_Directory::Last_Com + 1> prompters_{};
};

}  // namespace stylomat
