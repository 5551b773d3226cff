// Where the data files are looked for: environment, beside the executable,
// ../share/stylomat, the install directory.
#include "app/data_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace stylomat {
namespace {

namespace fs = std::filesystem;

class DataDir : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("stylomat_datadir_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "bin");
    exe = (root / "bin" / "stylomat-cli").string();
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path root;
  std::string exe;
};

TEST_F(DataDir, EnvironmentComesFirstUnlessEmpty) {
  fs::create_directories(root / "bin" / "data");
  EXPECT_EQ(Find_Data_Dir("/opt/tables", exe), "/opt/tables");
  EXPECT_EQ(Find_Data_Dir("", exe), (root / "bin" / "data").string());
}

TEST_F(DataDir, BuildTreeThenInstalledTreeThenInstallDirectory) {
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), STYLOMAT_INSTALL_DATADIR);
  fs::create_directories(root / "share" / "stylomat");
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), (root / "share" / "stylomat").string());
  fs::create_directories(root / "bin" / "data");
  EXPECT_EQ(Find_Data_Dir(nullptr, exe), (root / "bin" / "data").string());
  EXPECT_EQ(Find_Data_Dir(nullptr, ""), STYLOMAT_INSTALL_DATADIR);
}

TEST_F(DataDir, ExecutablePathAndFileNames) {
  EXPECT_FALSE(Executable_Path().empty());
  EXPECT_TRUE(fs::exists(Executable_Path()));
  EXPECT_EQ(Data_File_Path("/usr/share/stylomat", "korvsstable.dat"), "/usr/share/stylomat/korvsstable.dat");
  EXPECT_EQ(Data_File_Path("/usr/share/stylomat/", "korvsstable.dat"), "/usr/share/stylomat/korvsstable.dat");
  EXPECT_EQ(Data_File_Path("", "korvsstable.dat"), "korvsstable.dat");
}

}  // namespace
}  // namespace stylomat
