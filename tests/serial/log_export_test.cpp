#include "serial/log_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

namespace fs = std::filesystem;
using test::Read_File;
using namespace std::string_literals;

// A reader of plain rich text, written from the format's rules rather than
// from the writer: groups, control words ended by a blank or any other
// non-alphanumeric character, control symbols, \'hh bytes, and the font
// table destination skipped.  Line breaks in the source are no text.
struct Rtf_Reading {
  std::string text;
  bool closed_early = false;  // the outer group ended before the last brace
  bool balanced = false;
};

Rtf_Reading Read_Rtf(const std::string& rtf) {
  Rtf_Reading r;
  std::vector<bool> skip;
  std::size_t i = 0;
  bool outer_closed = false;
  auto emit = [&](char c) {
    if (!skip.empty() && !skip.back()) r.text += c;
  };
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (outer_closed && c != '\n') r.closed_early = true;
    if (c == '{') {
      skip.push_back(skip.empty() ? false : skip.back());
      ++i;
    } else if (c == '}') {
      if (skip.empty()) return r;
      skip.pop_back();
      if (skip.empty()) outer_closed = true;
      ++i;
    } else if (c == '\r' || c == '\n') {
      ++i;
    } else if (c == '\\' && i + 1 < rtf.size()) {
      const char next = rtf[i + 1];
      if (std::isalpha(static_cast<unsigned char>(next))) {
        std::size_t j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        const std::string word = rtf.substr(i + 1, j - i - 1);
        if (j < rtf.size() && rtf[j] == '-') ++j;
        while (j < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[j]))) ++j;
        if (j < rtf.size() && rtf[j] == ' ') ++j;
        if (word == "par") emit('\r');
        if (word == "fonttbl" && !skip.empty()) skip.back() = true;
        i = j;
      } else if (next == '\'' && i + 3 < rtf.size()) {
        emit(static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16)));
        i += 4;
      } else {
        emit(next);
        i += 2;
      }
    } else {
      emit(c);
      ++i;
    }
  }
  r.balanced = skip.empty() && outer_closed;
  return r;
}

void Write_Plain(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class Temp_Folder {
 public:
  Temp_Folder() {
    std::string pattern = (fs::temp_directory_path() / "stylomat_log_export_XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~Temp_Folder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

std::string All_Bytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(LogExport, DefaultNameIsMonthDayYearWithoutLeadingZeros) {
  EXPECT_EQ(Default_Log_File_Name(2007, 6, 28), "PRX Debug 6-28-2007.rtf");
  EXPECT_EQ(Default_Log_File_Name(2008, 1, 5), "PRX Debug 1-5-2008.rtf");
  EXPECT_EQ(Default_Log_File_Name(2010, 12, 31), "PRX Debug 12-31-2010.rtf");
}

TEST(LogExport, RtfReadsBackToTheLogForEveryByte) {
  const std::string logs[] = {
      All_Bytes(),
      "KORV Mensaro, Stylomat Version 1.0.0\r\rWiggle: \rSent: Esc%__p\rFrom Tablet: \\par}{\\rtf1 x}\r",
      "}}}}\\\\{\r\r",
      "From Tablet: \x1b%\x00\x7f\x80\xff\xe9\r"s,
      "",
  };
  for (const std::string& log : logs) {
    const std::string rtf = Log_As_Rtf(log);
    const Rtf_Reading back = Read_Rtf(rtf);
    EXPECT_EQ(back.text, log);
    EXPECT_TRUE(back.balanced);
    EXPECT_FALSE(back.closed_early);
    // Only printable ASCII and line breaks in the document itself.
    for (char c : rtf) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_TRUE(c == '\n' || (b >= 0x20 && b < 0x7F)) << "raw byte " << int(b) << " in the document";
    }
  }
}

TEST(LogExport, RtfMarksLineEndsAsParagraphsAndEscapesSpecials) {
  EXPECT_EQ(Log_As_Rtf("a\\b{c}\rd\x1b"),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\n"
            "\\f0\\fs20 a\\\\b\\{c\\}\\par\nd\\'1b}\n");
}

TEST(LogExport, ShownTextUsesControlPicturesAndPlatformLineEnds) {
  EXPECT_EQ(Shown_Char('A'), u'A');
  EXPECT_EQ(Shown_Char(0x1B), u'\u241B');
  EXPECT_EQ(Shown_Char(0x00), u'\u2400');
  EXPECT_EQ(Shown_Char(0x0A), u'\u240A');
  EXPECT_EQ(Shown_Char(0x7F), u'\u2421');
  EXPECT_EQ(Shown_Char(0x80), u'\u20AC');
  EXPECT_EQ(Shown_Char(0x81), u'\uFFFD');
  EXPECT_EQ(Shown_Char(0xE9), u'\u00E9');

  EXPECT_EQ(Log_As_Shown_Text("Com 1, Available\rFrom Tablet: \x1b\n\r", "\n"),
            "Com 1, Available\nFrom Tablet: \xE2\x90\x9B\xE2\x90\x8A\n");
  EXPECT_EQ(Log_As_Shown_Text("a\rb", "\r\n"), "a\r\nb");
  EXPECT_EQ(Log_As_Shown_Text("\xe9\x80"), "\xC3\xA9\xE2\x82\xAC");
}

TEST(LogExport, FormatFollowsTheFilterOrTheTxtName) {
  EXPECT_EQ(Choose_Log_File_Format("/tmp/PRX Debug 1-5-2008.rtf", Rtf_Filter), Log_File_Format::Rich_Text);
  EXPECT_EQ(Choose_Log_File_Format("/tmp/PRX Debug 1-5-2008.rtf", Txt_Filter), Log_File_Format::Plain_Text);
  EXPECT_EQ(Choose_Log_File_Format("/tmp/log.TXT", Rtf_Filter), Log_File_Format::Plain_Text);
  EXPECT_EQ(Choose_Log_File_Format("/tmp/log", ""), Log_File_Format::Rich_Text);
  EXPECT_EQ(Complete_Log_File_Name("/tmp/log", Log_File_Format::Plain_Text), "/tmp/log.txt");
  EXPECT_EQ(Complete_Log_File_Name("/tmp/log", Log_File_Format::Rich_Text), "/tmp/log.rtf");
  EXPECT_EQ(Complete_Log_File_Name("/tmp/a.b/log.rtf", Log_File_Format::Plain_Text), "/tmp/a.b/log.rtf");
}

TEST(LogExport, SavesRichOrPlainTextAndReplacesAnOldFile) {
  Temp_Folder dir;
  const std::string log = "KORV Mensaro, Stylomat Version 1.0.0\rFrom Tablet: {\x1b}\r";
  const fs::path rtf = dir.path() / "PRX Debug 1-5-2008.rtf";
  const fs::path txt = dir.path() / "log.txt";
  std::string error;

  ASSERT_TRUE(Save_Log_File(log, rtf.string(), Log_File_Format::Rich_Text, error)) << error;
  EXPECT_EQ(Read_Rtf(Read_File(rtf)).text, log);

  Write_Plain(txt, "an older log that is much longer than the new one\n");
  ::chmod(txt.c_str(), 0600);
  ASSERT_TRUE(Save_Log_File(log, txt.string(), Log_File_Format::Plain_Text, error)) << error;
  EXPECT_EQ(Read_File(txt), std::string("KORV Mensaro, Stylomat Version 1.0.0") + std::string(Platform_Line_End) +
                                "From Tablet: {\xE2\x90\x9B}" + std::string(Platform_Line_End));
  struct stat st {};
  ASSERT_EQ(::stat(txt.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"PRX Debug 1-5-2008.rtf", "log.txt"}));
}

TEST(LogExport, FailedSaveLeavesTheExistingFileIntact) {
  Temp_Folder dir;
  const fs::path target = dir.path() / "PRX Debug 6-28-2007.rtf";
  const std::string old_content = "{\\rtf1 the log saved yesterday}";
  Write_Plain(target, old_content);
  std::string error;

  // The disk fills up half way through the new file: the write fails, and
  // neither a half-written file nor the temporary one may remain.
  const std::string big_log(64 * 1024, 'x');
  struct rlimit old_limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = Save_Log_File(big_log, target.string(), Log_File_Format::Rich_Text, error);
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Read_File(target), old_content);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"PRX Debug 6-28-2007.rtf"}));

  // A folder in the way of the name cannot be replaced.
  const fs::path folder = dir.path() / "a folder.rtf";
  fs::create_directory(folder);
  Write_Plain(folder / "inside", "kept");
  EXPECT_FALSE(Save_Log_File("log\r", folder.string(), Log_File_Format::Rich_Text, error));
  EXPECT_EQ(Read_File(folder / "inside"), "kept");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"PRX Debug 6-28-2007.rtf", "a folder.rtf"}));

  // A folder that does not exist.
  EXPECT_FALSE(Save_Log_File("log\r", (dir.path() / "missing" / "x.rtf").string(), Log_File_Format::Rich_Text, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(Save_Log_File("log\r", "", Log_File_Format::Rich_Text, error));
}

}  // namespace
}  // namespace stylomat
