#pragma once
// Where the program's data files live (the SuperSet table files, clips,
// pictures, installers).  The same lookup works from the build tree, where
// the data sits in "data" beside the executables, and from an installed
// tree, where it sits in ../share/stylomat beside bin/.
#include <string>
#include <string_view>

#include "core/data_file.h"

namespace stylomat {

// The data directory, first match of:
//   1. $STYLOMAT_DATA_DIR when set and not empty;
//   2. "data" beside the executable, when it is a directory;
//   3. "../share/stylomat" relative to the executable's directory, when it
//      is a directory;
//   4. the directory chosen at install time (STYLOMAT_INSTALL_DATADIR).
std::string Find_Data_Dir();

// The same lookup with its inputs given: the environment value (nullptr
// when unset) and the executable's full path (empty when unknown).
std::string Find_Data_Dir(const char* env_value, const std::string& executable_path);

// The running executable's full path, from /proc/self/exe; empty when the
// system does not tell.
std::string Executable_Path();

}  // namespace stylomat
