#include "discovery/search_turns.h"

#include <chrono>
#include <limits>
#include <stdexcept>

namespace stylomat {

namespace {
// A thread's sleep on a real clock wakes at least this often to look at
// the clock again, and the main thread's wait at most this long.
constexpr auto Real_Clock_Slice = std::chrono::milliseconds(10);
// Each pass of a sleep on a real clock sleeps until its moment or a stop,
// so few passes are ever needed; the count only keeps the loop bounded.
constexpr int Max_Sleep_Passes = 100000;
}  // namespace

class Search_Turns::Thread_Clock final : public Clock {
 public:
  Thread_Clock(Search_Turns& turns, int n) : turns_(turns), n_(n) {}
  double Now() override { return turns_.clock_.Now(); }
  void Sleep_Until(double t) override { turns_.Sleep_Until(n_, t); }
  bool Is_Virtual() const override { return turns_.virtual_; }

 private:
  Search_Turns& turns_;
  int n_;
};

class Search_Turns::Thread_Prompter final : public Prompter {
 public:
  Thread_Prompter(Search_Turns& turns, int n) : turns_(turns), n_(n) {}
  Answer Ask(const Question& question) override { return turns_.Ask(n_, question); }

 private:
  Search_Turns& turns_;
  int n_;
};

Search_Turns::Search_Turns(Clock& clock) : clock_(clock), virtual_(clock.Is_Virtual()) {
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
    clocks_[static_cast<std::size_t>(n)] = std::make_unique<Thread_Clock>(*this, n);
    prompters_[static_cast<std::size_t>(n)] = std::make_unique<Thread_Prompter>(*this, n);
  }
}

Search_Turns::Slot& Search_Turns::At(int n) {
  if (n < Port_Directory::First_Com || n > Port_Directory::Last_Com) throw std::out_of_range("no such port");
  return slots_[static_cast<std::size_t>(n)];
}

Clock& Search_Turns::Port_Clock(int n) {
  (void)At(n);
  return *clocks_[static_cast<std::size_t>(n)];
}

Prompter& Search_Turns::Port_Prompter(int n) {
  (void)At(n);
  return *prompters_[static_cast<std::size_t>(n)];
}

void Search_Turns::Changed() {
  ++version_;
  changed_.notify_all();
}

void Search_Turns::Deliver_Stop(Slot& slot) {
  slot.stop_delivered = true;
  throw Search_Stopped{};
}

bool Search_Turns::Resumable(const Slot& slot, double now) const {
  switch (slot.phase) {
    case Phase::Sleeping: return Stop_Pending(slot) || slot.wake <= now;
    case Phase::Asking: return slot.answer.has_value() || Stop_Pending(slot);
    case Phase::Found: return slot.verdict.has_value() || slot.stop;
    default: return false;
  }
}

void Search_Turns::Park(std::unique_lock<std::mutex>& lock, Slot& slot, Phase phase) {
  slot.phase = phase;
  slot.go = false;
  Changed();
  if (virtual_) {
    wake_.wait(lock, [&] { return slot.go; });
  } else {
    wake_.wait(lock, [&] { return Resumable(slot, clock_.Now()); });
  }
  slot.phase = Phase::Running;
  Changed();
}

void Search_Turns::Start(int n) {
  std::lock_guard lock(mutex_);
  Slot& slot = At(n);
  slot = Slot{};
  slot.phase = Phase::Running;
  Changed();
}

void Search_Turns::Enter(int n) {
  std::unique_lock lock(mutex_);
  Slot& slot = At(n);
  if (!virtual_) return;
  slot.wake = clock_.Now();
  Park(lock, slot, Phase::Sleeping);
  if (Stop_Pending(slot)) Deliver_Stop(slot);
}

void Search_Turns::Sleep_Until(int n, double t) {
  std::unique_lock lock(mutex_);
  Slot& slot = At(n);
  if (Stop_Pending(slot)) Deliver_Stop(slot);
  if (virtual_) {
    slot.wake = t;
    Park(lock, slot, Phase::Sleeping);
    if (Stop_Pending(slot)) Deliver_Stop(slot);
    return;
  }
  for (int pass = 0; pass < Max_Sleep_Passes; ++pass) {
    const double left = t - clock_.Now();
    if (!(left > 0)) return;
    const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(left));
    wake_.wait_for(lock, wait, [&] { return Stop_Pending(slot); });
    if (Stop_Pending(slot)) Deliver_Stop(slot);
  }
}

Answer Search_Turns::Ask(int n, const Question& question) {
  std::unique_lock lock(mutex_);
  Slot& slot = At(n);
  if (Stop_Pending(slot)) Deliver_Stop(slot);
  slot.question = question;
  slot.answer.reset();
  Park(lock, slot, Phase::Asking);
  slot.question.reset();
  if (Stop_Pending(slot)) Deliver_Stop(slot);
  const Answer answer = *slot.answer;
  slot.answer.reset();
  return answer;
}

bool Search_Turns::Wait_For_Verdict(int n) {
  std::unique_lock lock(mutex_);
  Slot& slot = At(n);
  if (!slot.stop) Park(lock, slot, Phase::Found);
  if (slot.stop) {
    // A thread told to stop lets its tablet go; the stop is taken.
    slot.stop_delivered = true;
    return false;
  }
  return *slot.verdict;
}

void Search_Turns::Leave(int n) {
  std::lock_guard lock(mutex_);
  At(n).phase = Phase::Done;
  Changed();
}

bool Search_Turns::Any_Running() const {
  for (const Slot& slot : slots_)
    if (slot.phase == Phase::Running) return true;
  return false;
}

bool Search_Turns::Resume_All_Resumable(double now) {
  bool any = false;
  for (Slot& slot : slots_) {
    if (!Resumable(slot, now)) continue;
    slot.go = true;
    slot.phase = Phase::Running;
    any = true;
  }
  if (any) wake_.notify_all();
  return any;
}

bool Search_Turns::Wait_For_Change() {
  std::unique_lock lock(mutex_);
  if (!virtual_) {
    changed_.wait_for(lock, Real_Clock_Slice, [&] { return version_ != seen_; });
    seen_ = version_;
    return true;
  }
  // Threads the main thread started or answered are still on their way.
  changed_.wait(lock, [&] { return !Any_Running(); });
  bool woken = Resume_All_Resumable(clock_.Now());
  if (!woken) {
    double next = std::numeric_limits<double>::infinity();
    for (const Slot& slot : slots_)
      if (slot.phase == Phase::Sleeping && slot.wake < next) next = slot.wake;
    if (next != std::numeric_limits<double>::infinity()) {
      clock_.Sleep_Until(next);
      woken = Resume_All_Resumable(clock_.Now());
    }
  }
  changed_.wait(lock, [&] { return !Any_Running(); });
  return woken;
}

Search_Turns::Phase Search_Turns::Phase_Of(int n) {
  std::lock_guard lock(mutex_);
  return At(n).phase;
}

std::optional<Question> Search_Turns::Question_Of(int n) {
  std::lock_guard lock(mutex_);
  const Slot& slot = At(n);
  return slot.phase == Phase::Asking && !slot.answer ? slot.question : std::nullopt;
}

void Search_Turns::Answer_Question(int n, Answer answer) {
  std::lock_guard lock(mutex_);
  At(n).answer = answer;
  wake_.notify_all();
}

void Search_Turns::Give_Verdict(int n, bool keep) {
  std::lock_guard lock(mutex_);
  At(n).verdict = keep;
  wake_.notify_all();
}

void Search_Turns::Stop(int n) {
  std::lock_guard lock(mutex_);
  Slot& slot = At(n);
  if (slot.phase == Phase::Idle || slot.phase == Phase::Done) return;
  slot.stop = true;
  wake_.notify_all();
}

bool Search_Turns::All_Left() {
  std::lock_guard lock(mutex_);
  for (const Slot& slot : slots_)
    if (slot.phase != Phase::Idle && slot.phase != Phase::Done) return false;
  return true;
}

}  // namespace stylomat
