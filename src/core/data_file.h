#pragma once
#include <string>
#include <string_view>

namespace stylomat {

// dir + "/" + name.  An empty dir gives the bare name (the current
// directory) rather than a path at the root.
inline std::string Data_File_Path(const std::string& dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string path = dir;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace stylomat
