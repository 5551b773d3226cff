#include "app/driver_setup.h"

#include <sys/stat.h>

#include <cstdlib>

#include "stylomat_version.h"
#include "wintab/evdev_source.h"
#include "wintab/input_driver.h"
#include "wintab/recorded_source.h"

namespace stylomat {

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

constexpr std::uint16_t Impl_Version = static_cast<std::uint16_t>((Version_Major << 8) | (Version_Minor & 0xFF));
constexpr std::size_t Max_Recordings = 16;

}  // namespace

Driver_Environment Driver_Environment::From_Process(const std::string& data_dir) {
  Driver_Environment env;
  const char* v = std::getenv("STYLOMAT_INPUT_RECORDING");
  env.recording = v ? v : "";
  env.data_dir = data_dir;
  return env;
}

std::vector<std::string> Recording_Paths(const std::string& value, const std::string& data_dir) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t comma = value.find(',', start);
    const std::string item = Trim(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!item.empty()) {
      const std::string shipped = data_dir + "/recordings/" + item;
      paths.push_back(!Exists(item) && !data_dir.empty() && Exists(shipped) ? shipped : item);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return paths;
}

Driver_Setup Make_Driver_Setup(const Driver_Environment& env, Clock& clock) {
  Driver_Setup setup;
  const std::string recording = Trim(env.recording);
  if (!recording.empty()) {
    const std::vector<std::string> paths = Recording_Paths(recording, env.data_dir);
    if (paths.empty() || paths.size() > Max_Recordings) {
      setup.error = "STYLOMAT_INPUT_RECORDING: name one to " + std::to_string(Max_Recordings) +
                    " recordings, separated by commas";
      return setup;
    }
    Recorded_Devices devices = Read_Recordings(paths);
    if (!devices.error.empty()) {
      setup.error = "STYLOMAT_INPUT_RECORDING: " + devices.error;
      return setup;
    }
    Input_Driver_Config config;
    config.Wintab_ID = "Stylomat recorded input driver";
    config.Impl_Version = Impl_Version;
    config.Screen = env.screen;
    config.Scan = [&clock, recordings = std::move(devices.recordings)] { return Scan_Recordings(clock, recordings); };
    setup.driver = std::make_unique<Input_Wintab_Driver>(clock, std::move(config));
    setup.description = "recorded: " + recording;
    return setup;
  }
  if (clock.Is_Virtual()) {
    setup.description = "none (the clock is virtual)";
    return setup;
  }
  Input_Driver_Config config;
  config.Wintab_ID = "Stylomat Linux input driver";
  config.Impl_Version = Impl_Version;
  config.Screen = env.screen;
  config.Scan = [] { return Scan_Evdev_Tablets(Load_Evdev_Libraries()); };
  setup.driver = std::make_unique<Input_Wintab_Driver>(clock, std::move(config));
  setup.description = "this machine's tablets";
  return setup;
}

}  // namespace stylomat
