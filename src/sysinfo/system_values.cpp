#include "sysinfo/system_values.h"

#include <sys/utsname.h>

#include <cstdio>
#include <fstream>


namespace stylomat {

namespace {

std::string Os_Release_Name() {
  std::ifstream in("/etc/os-release");
  std::string line;
  for (int guard = 0; guard < 200 && std::getline(in, line); ++guard) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

}  // namespace

System_Values Read_Host_System_Values() {
  System_Values v;
  v.Platform = 3;
  struct utsname u {};
  std::string release;
  std::string sysname = "Linux";
  if (::uname(&u) == 0) {
    release = u.release;
    sysname = u.sysname;
  }
  v.Build_Text = release;
  int major = 0, minor = 0;
  if (std::sscanf(release.c_str(), "%d.%d", &major, &minor) == 2) {
    v.Version_Text = std::to_string(major) + "." + std::to_string(minor);
    v.Version = major + minor / (minor >= 100 ? 1000.0 : minor >= 10 ? 100.0 : 10.0);
  }
  v.Name = Os_Release_Name();
  if (v.Name.empty()) v.Name = sysname + (release.empty() ? "" : " " + release);
  return v;
}

std::string System_Name(int platform, double version, const std::string& current_name) {
  switch (platform) {
    case 0: return "Unidentified";
    case 1:
      if (version <= 4) return "Windows 95";
      if (version < 4.9) return "Windows 98";
      return "Windows ME";
    case 2:
      if (version <= 4) return "Windows NT";
      if (version == 5) return "Windows 2000";
      return "Windows XP";
    default: return current_name;
  }
}

}  // namespace stylomat
