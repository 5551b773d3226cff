// Where the data files are looked for: environment, beside the executable,
// ../share/stylomat, the install directory.
#include "app/data_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace stylomat {
namespace {

namespace fs = std::filesystem;

TEST(DataDir, EnvironmentThenBesideTheProgramThenShareThenInstallDirectory) {
  const fs::path root = fs::temp_directory_path() / ("stylomat_datadir_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "bin");
  const std::string exe = (root / "bin" / "stylomat-cli").string();
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), STYLOMAT_INSTALL_DATADIR);
  EXPECT_EQ(Find_Data_Dir(nullptr, ""), STYLOMAT_INSTALL_DATADIR);
  fs::create_directories(root / "share" / "stylomat");
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), (root / "share" / "stylomat").string());
  fs::create_directories(root / "bin" / "data");
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), (root / "bin" / "data").string());
  EXPECT_EQ(Find_Data_Dir("", exe), (root / "bin" / "data").string()) << "an empty variable counts as unset";
  EXPECT_EQ(Find_Data_Dir("/opt/tables", exe), "/opt/tables");
  EXPECT_EQ(Find_Data_Dir(nullptr, ""), STYLOMAT_INSTALL_DATADIR);
  fs::remove_all(root);
}

TEST(DataDir, ExecutablePathAndFileNames) {
  // This test program sits in tests/ below the build root that holds the CLI.
  EXPECT_EQ(fs::path(Executable_Path()).filename(), "stylomat_tests");
  EXPECT_TRUE(
      fs::equivalent(Executable_Path(), fs::path(STYLOMAT_CLI_PATH).parent_path() / "tests" / "stylomat_tests"));
  EXPECT_EQ(Data_File_Path("/usr/share/stylomat", "korvsstable.dat"), "/usr/share/stylomat/korvsstable.dat");
  EXPECT_EQ(Data_File_Path("/usr/share/stylomat/", "korvsstable.dat"), "/usr/share/stylomat/korvsstable.dat");
  EXPECT_EQ(Data_File_Path("", "korvsstable.dat"), "korvsstable.dat");
}

}  // namespace
}  // namespace stylomat
