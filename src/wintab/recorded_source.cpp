#include "wintab/recorded_source.h"

#include <limits>

namespace stylomat {

Recorded_Source::Recorded_Source(Clock& clock, Evemu_Recording recording)
    : clock_(clock), recording_(std::move(recording)) {}

void Recorded_Source::Start() {
  running_ = true;
  start_ = clock_.Now();
  next_ = 0;
  starts_over_ = false;
}

double Recorded_Source::Pass_End() const {
  const double last = recording_.Events.empty() ? 0 : recording_.Events.back().Micros / 1e6;
  return start_ + last + Pause_Between_Passes;
}

double Recorded_Source::Next_Due() const {
  if (!running_ || recording_.Events.empty()) return std::numeric_limits<double>::infinity();
  return next_ < recording_.Events.size() ? Due(next_) : Pass_End();
}

bool Recorded_Source::Starts_Over() {
  const bool over = starts_over_;
  starts_over_ = false;
  return over;
}

void Recorded_Source::Read(std::vector<Input_Event>& into, std::size_t max) {
  if (!running_ || recording_.Events.empty()) return;
  const double now = clock_.Now();
  if (next_ >= recording_.Events.size()) {
    if (now < Pass_End()) return;
    start_ = Pass_End();
    next_ = 0;
    starts_over_ = true;
  }
  for (std::size_t n = 0; n < max && next_ < recording_.Events.size() && Due(next_) <= now; ++n) {
    into.push_back(recording_.Events[next_++]);
  }
}

Recorded_Devices Read_Recordings(const std::vector<std::string>& paths) {
  Recorded_Devices devices;
  for (const std::string& path : paths) {
    Evemu_Result r = Read_Evemu_File(path);
    if (!r.ok) {
      devices.error = r.error;
      devices.recordings.clear();
      return devices;
    }
    devices.recordings.push_back(std::move(r.recording));
  }
  return devices;
}

Input_Scan Scan_Recordings(Clock& clock, const std::vector<Evemu_Recording>& recordings) {
  Input_Scan scan;
  scan.Loaded = true;
  for (const Evemu_Recording& r : recordings) scan.Sources.push_back(std::make_unique<Recorded_Source>(clock, r));
  return scan;
}

}  // namespace stylomat
