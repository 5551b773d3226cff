#pragma once
// Monotonic clocks for every wait of the program.
//
// All waits (ticks, pauses, reply time-outs) poll a Clock.  Steady_Clock is
// the real one; Virtual_Clock is used by tests and by the simulated tablets,
// where a sleep advances virtual time at once.
#include <chrono>

namespace stylomat {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since an arbitrary origin; never goes backwards.
  virtual double Now() = 0;
  // Returns once Now() >= t.  Must not busy-spin.
  virtual void Sleep_Until(double t) = 0;
  // True for clocks whose time only moves when somebody sleeps.
  virtual bool Is_Virtual() const { return false; }
};

class Steady_Clock final : public Clock {
 public:
  Steady_Clock();
  double Now() override;
  void Sleep_Until(double t) override;

 private:
  std::chrono::steady_clock::time_point origin_;
};

class Virtual_Clock final : public Clock {
 public:
  explicit Virtual_Clock(double start = 0.0) : now_(start) {}
  double Now() override { return now_; }
  void Sleep_Until(double t) override {
    if (t > now_) now_ = t;
  }
  bool Is_Virtual() const override { return true; }
  void Advance(double seconds) { Sleep_Until(now_ + seconds); }

 private:
  double now_;
};

}  // namespace stylomat
