// The SuperSet table file readers: which records fill which rows, the field
// conversion, and what a missing, short or damaged file does.
#include "superset/table_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/session.h"

namespace stylomat {
namespace {

namespace fs = std::filesystem;

constexpr SuperSet_Record Marker = {0xAA, 0xAA, 0xAA, 0xAA};
constexpr SuperSet_Record Example = {0x32, 0x40, 0x51, 0x07};

std::string Lines(int count, const std::string& line) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line + "\n";
  return text;
}

class TableFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("stylomat_tables_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    s.App_Dir = dir.string();
    table.fill(Marker);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Every message shown so far, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const Question& q : prompter.asked) out.push_back(q.text);
    return out;
  }
  std::string File(const char* name) const { return "The SuperSet table file \"" + (dir / name).string() + "\""; }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream f(dir / name, std::ios::binary);
    f << text;
  }

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s{clock, ports, prompter};
  fs::path dir;
  SuperSet_Table table{};
};

TEST_F(TableFiles, KorvFileFillsOnlyTheUserRowsAndTheQuorralThreeKeepsItsNinetyNine) {
  for (bool quorral : {false, true}) {
    s.identity.Quorral_III_Flag = quorral;
    table.fill(Marker);
    Write(KORV_Table_File, Lines(101, "32,40,51,07"));
    EXPECT_TRUE(Read_KORV_Data_File(s, table).ok);
    for (int k = 0; k < SuperSet_Rows; ++k) {
      const bool filled = k >= 90 && k <= (quorral ? 98 : 99);
      EXPECT_EQ(table[k], filled ? Example : Marker) << "row " << k;
    }
  }
  EXPECT_TRUE(prompter.asked.empty());
  // The Quorral III still needs record 99 in the file.
  Write(KORV_Table_File, Lines(99, "32,40,51,07"));
  EXPECT_FALSE(Read_KORV_Data_File(s, table).ok);
}

TEST_F(TableFiles, FieldValuesAreLeadingHexDigits) {
  EXPECT_EQ(Table_Field_Value("a5"), 165);
  EXPECT_EQ(Table_Field_Value("A5"), 165);
  EXPECT_EQ(Table_Field_Value("5g"), 5);
  EXPECT_EQ(Table_Field_Value(""), 0);
  EXPECT_EQ(Table_Field_Value("g5"), 0);
  EXPECT_EQ(Table_Field_Value("0000000007"), 7);
  EXPECT_EQ(Table_Field_Value("FFFFFFFFFFFFFFFFFFFF"), 0x10000);

  const Table_File_Layout layout{3, 0, 2};
  const auto r = Parse_Table_Text(" a5 ,A5,5g, \n\"32\", \"40\" ,\"51\",07\r\n,,,\r", layout, table);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(table[0], (SuperSet_Record{165, 165, 5, 0}));
  EXPECT_EQ(table[1], Example);
  EXPECT_EQ(table[2], (SuperSet_Record{0, 0, 0, 0}));
  EXPECT_EQ(table[3], Marker);
}

TEST_F(TableFiles, DovraneNeeds105RecordsInOemMode) {
  Write(Dovrane_Table_File, Lines(101, "32,40,51,07"));
  EXPECT_TRUE(TABLES(s, Config_Window::Dovrane3, table).ok);
  EXPECT_EQ(table[100], Example);
  EXPECT_EQ(table[101], Marker);

  s.OEM_Mode = true;
  table.fill(Marker);
  const auto r = TABLES(s, Config_Window::Dovrane3, table);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.records_found, 101);
  EXPECT_EQ(Messages(), std::vector<std::string>{File(Dovrane_Table_File) +
                                                 " holds 101 of the 105 records this window needs.\r\n"
                                                 "The SuperSets it could not give are left empty."});
  EXPECT_EQ(prompter.asked[0].title, "Stylomat");
  EXPECT_EQ(table[100], Example);
  for (int k = 101; k <= 104; ++k) EXPECT_EQ(table[k], SuperSet_Record{}) << k;
  EXPECT_EQ(table[105], Marker);

  Write(Dovrane_Table_File, Lines(105, "32,40,51,07"));
  EXPECT_TRUE(TABLES(s, Config_Window::Dovrane3, table).ok);
  EXPECT_EQ(table[104], Example);
}

TEST_F(TableFiles, MirolexFileFillsRows0To99AndIgnoresWhatFollows) {
  Write(Mirolex_Table_File, Lines(100, "32,40,51,07") + "this is not a record\n1,2\n");
  EXPECT_TRUE(TABLES(s, Config_Window::Mirolex2, table).ok);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(table[0], Example);
  EXPECT_EQ(table[99], Example);
  EXPECT_EQ(table[100], Marker);
}

TEST_F(TableFiles, MissingFileOrADirectoryIsReportedAndItsRowsAreEmpty) {
  const auto r = Read_KORV_Data_File(s, table);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.opened);
  fs::create_directories(dir / Mirolex_Table_File);
  EXPECT_FALSE(TABLES(s, Config_Window::Mirolex2, table).ok);
  const std::string unread = " could not be read.\r\nThe factory SuperSets of this window are left empty.";
  EXPECT_EQ(Messages(), (std::vector<std::string>{File(KORV_Table_File) + unread, File(Mirolex_Table_File) + unread}));
  EXPECT_EQ(prompter.asked[0].buttons, Buttons::OK);
  for (int k = 0; k < SuperSet_Rows; ++k) EXPECT_EQ(table[k], k <= 99 ? SuperSet_Record{} : Marker) << k;
}

TEST_F(TableFiles, ShortFileKeepsWhatItHasAndEmptiesTheRest) {
  Write(KORV_Table_File, Lines(95, "32,40,51,07") + "32,40");  // record 95 cut short, no line end
  EXPECT_FALSE(Read_KORV_Data_File(s, table).ok);
  EXPECT_EQ(Messages(), std::vector<std::string>{File(KORV_Table_File) +
                                                 " holds 96 of the 101 records this window needs.\r\nIt also has 1 "
                                                 "damaged record, the first is record 95 on line 96.\r\n"
                                                 "The SuperSets it could not give are left empty."});
  for (int k = 90; k <= 94; ++k) EXPECT_EQ(table[k], Example) << k;
  for (int k = 95; k <= 99; ++k) EXPECT_EQ(table[k], SuperSet_Record{}) << k;
  EXPECT_EQ(table[89], Marker);
}

TEST_F(TableFiles, DamagedRecordsDoNotShiftTheOnesAfterThem) {
  std::string text = Lines(91, "01,02,03,04");
  text += "91,92,93\n";      // record 91: three fields
  text += "\n   \n";          // blank lines are no records
  text += "100,00,00,00\n";  // record 92: a field beyond FF
  text += Lines(8, "32,40,51,07");
  Write(KORV_Table_File, text);
  EXPECT_FALSE(Read_KORV_Data_File(s, table).ok);
  EXPECT_EQ(Messages(), std::vector<std::string>{File(KORV_Table_File) +
                                                 " has 2 damaged records, the first is record 91 on line 92.\r\n"
                                                 "The SuperSets it could not give are left empty."});
  EXPECT_EQ(table[90], (SuperSet_Record{1, 2, 3, 4}));
  EXPECT_EQ(table[91], SuperSet_Record{});
  EXPECT_EQ(table[92], SuperSet_Record{});
  for (int k = 93; k <= 99; ++k) EXPECT_EQ(table[k], Example) << k;
}

TEST_F(TableFiles, GarbageEmptyFileAndLineEndings) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919 + 13) & 0xFF);
  Write(Dovrane_Table_File, junk);
  s.OEM_Mode = true;
  EXPECT_FALSE(TABLES(s, Config_Window::Dovrane3, table).ok);
  EXPECT_EQ(prompter.asked.size(), 1u);
  for (int k = 105; k < SuperSet_Rows; ++k) EXPECT_EQ(table[k], Marker);

  Write(Mirolex_Table_File, "");
  EXPECT_EQ(TABLES(s, Config_Window::Mirolex2, table).records_found, 0);
  EXPECT_EQ(table[0], SuperSet_Record{});
  std::string cr_only;
  for (int i = 0; i < 100; ++i) cr_only += "32,40,51,07\r";
  Write(Mirolex_Table_File, cr_only);
  EXPECT_TRUE(TABLES(s, Config_Window::Mirolex2, table).ok);
  EXPECT_EQ(table[99], Example);
}

}  // namespace
}  // namespace stylomat
