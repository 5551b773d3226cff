#pragma once
// A recorded input device played back on the session clock: each event
// is due at the time it has in the recording, counted from the moment a
// context wanted events; after the last one and a pause the recording
// plays again from its beginning, every tool away from the tablet first.
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "wintab/evemu_recording.h"
#include "wintab/input_driver.h"

namespace stylomat {

class Recorded_Source final : public Input_Source {
 public:
  static constexpr double Pause_Between_Passes = 1.0;

  Recorded_Source(Clock& clock, Evemu_Recording recording);

  const Input_Device_Description& Description() const override { return recording_.Device; }
  void Start() override;
  void Stop() override { running_ = false; }
  void Read(std::vector<Input_Event>& into, std::size_t max) override;
  double Next_Due() const override;
  bool Starts_Over() override;

 private:
  double Due(std::size_t event) const { return start_ + recording_.Events[event].Micros / 1e6; }
  double Pass_End() const;

  Clock& clock_;
  Evemu_Recording recording_;
  bool running_ = false;
  double start_ = 0;
  std::size_t next_ = 0;
  bool starts_over_ = false;
};

// The scan of the recorded driver: the recordings as its devices.  The
// files are read once; an unreadable or malformed one makes `error` name
// it and its line.
struct Recorded_Devices {
  std::vector<Evemu_Recording> recordings;
  std::string error;
};
Recorded_Devices Read_Recordings(const std::vector<std::string>& paths);
Input_Scan Scan_Recordings(Clock& clock, const std::vector<Evemu_Recording>& recordings);

}  // namespace stylomat
