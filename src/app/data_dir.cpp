#include "app/data_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef STYLOMAT_INSTALL_DATADIR
#define STYLOMAT_INSTALL_DATADIR "/usr/local/share/stylomat"
#endif

namespace stylomat {

namespace fs = std::filesystem;

static bool Is_Directory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

std::string Executable_Path() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.string();
}

std::string Find_Data_Dir(const char* env_value, const std::string& executable_path) {
  if (env_value != nullptr && *env_value != '\0') return env_value;
  if (!executable_path.empty()) {
    const fs::path exe_dir = fs::path(executable_path).parent_path();
    const fs::path beside = exe_dir / "data";
    if (Is_Directory(beside)) return beside.string();
    const fs::path shared = (exe_dir / ".." / "share" / "stylomat").lexically_normal();
    if (Is_Directory(shared)) return shared.string();
  }
  return STYLOMAT_INSTALL_DATADIR;
}

std::string Find_Data_Dir() { return Find_Data_Dir(std::getenv("STYLOMAT_DATA_DIR"), Executable_Path()); }

}  // namespace stylomat
