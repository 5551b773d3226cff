#include "gui/log_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QPrinter>
#include <QScrollBar>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/log_view.h"
#include "gui/qt_test_app.h"
#include "serial/log_export.h"
#include "core/traffic_log.h"

namespace stylomat::gui {
namespace {

namespace fs = std::filesystem;

// What the view holds, put back together: its lines joined by CR.
std::string View_Content(const Log_View& view) {
  std::string text;
  for (std::size_t i = 0; i < view.Line_Count(); ++i) {
    if (i) text += CR;
    text += view.Line_Bytes(i);
  }
  return text;
}

std::string Read_File(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Qt_Ready {
  Qt_Ready() { test::Qt_App(); }
};

struct Log_Bench {
  Log_Bench() : window(log) { window.resize(500, 300); }
  Log_View& view() { return window.view(); }
  Qt_Ready qt;
  Traffic_Log log;
  Log_Window window;
};

TEST(LogWindow, IncrementalRefreshHoldsExactlyTheLog) {
  Log_Bench b;
  b.window.show();
  // Pieces that split lines anywhere, replies with CR, ESC and binary bytes.
  const std::string pieces[] = {
      "KORV Mensaro, Stylomat Version 1.0.0\r",
      "\rWiggle: \rSent: Esc%__p\rFrom Tablet: ",
      std::string("\x1b%\x00\x80\xff", 5),
      "\rFrom Tablet: half a reply",
      " and\rthe rest after a CR inside it\r",
      "",
      "Com 3, No Tablet Found\r\r",
  };
  for (const std::string& piece : pieces) {
    b.log.Append(piece);
    b.window.Refresh_Log_View();
    EXPECT_EQ(b.view().Shown_Size(), b.log.Size());
    EXPECT_EQ(View_Content(b.view()), b.log.Text());
    EXPECT_EQ(b.view().Line_Count(), static_cast<std::size_t>(std::count(b.log.Text().begin(), b.log.Text().end(), CR)) + 1);
  }
  // Control bytes stay visible, one character per byte.
  const QString reply = b.view().Line_Text(4);
  EXPECT_EQ(reply, QString::fromUtf8("From Tablet: \u241B%\u2400\u20AC\u00FF"));
  b.view().Set_Hex_View(true);
  EXPECT_EQ(b.view().Line_Text(2).toStdString(), "57 69 67 67 6C 65 3A 20 ");
  b.view().Set_Hex_View(false);
}

TEST(LogWindow, NothingIsTakenInWhileHiddenAndAllWhenShownAgain) {
  Log_Bench b;
  b.log.Line("KORV Mensaro, Stylomat Version 1.0.0");
  b.window.Refresh_Log_View();
  EXPECT_EQ(b.view().Shown_Size(), 0u);  // never shown yet

  b.window.show();
  EXPECT_EQ(b.view().Shown_Size(), b.log.Size());
  b.window.hide();
  for (int i = 0; i < 50; ++i) b.log.Line("Com 1, Available");
  b.window.Refresh_Log_View();
  const std::size_t while_hidden = b.view().Shown_Size();
  EXPECT_LT(while_hidden, b.log.Size());

  b.window.show();
  EXPECT_EQ(b.view().Shown_Size(), b.log.Size());
  EXPECT_EQ(View_Content(b.view()), b.log.Text());
}

TEST(LogWindow, FollowsTheEndOnlyWhenTheUserIsThere) {
  Log_Bench b;
  b.window.show();
  for (int i = 0; i < 1000; ++i) b.log.Line("Sent: Esc%__p " + std::to_string(i));
  b.window.Refresh_Log_View();
  EXPECT_TRUE(b.view().At_End());
  const std::size_t first_at_end = b.view().First_Visible_Line();
  EXPECT_GT(first_at_end, 900u);

  for (int i = 0; i < 20; ++i) b.log.Line("From Tablet: more");
  b.window.Refresh_Log_View();
  EXPECT_TRUE(b.view().At_End());
  EXPECT_EQ(b.view().First_Visible_Line(), first_at_end + 20);

  // Reading further up: new lines do not move the view.
  b.view().Scroll_To_Line(100);
  for (int i = 0; i < 20; ++i) b.log.Line("From Tablet: even more");
  b.window.Refresh_Log_View();
  EXPECT_EQ(b.view().First_Visible_Line(), 100u);
  EXPECT_FALSE(b.view().At_End());

  // A long line without CR widens the horizontal range.
  const int before = b.view().horizontalScrollBar()->maximum();
  b.log.Append(std::string(5000, 'x'));
  b.window.Refresh_Log_View();
  EXPECT_GT(b.view().horizontalScrollBar()->maximum(), before);
}

TEST(LogWindow, PrintsEveryLineOverAsManyPagesAsNeeded) {
  Log_Bench b;
  for (int i = 0; i < 400; ++i) b.log.Line("From Tablet: line " + std::to_string(i) + " \x1b");
  b.log.Append(std::string(1000, 'w'));  // wraps over several rows
  const fs::path pdf = fs::temp_directory_path() / ("stylomat_log_print_" + std::to_string(::getpid()) + ".pdf");
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  EXPECT_TRUE(b.window.Print_Log(printer));
  const std::string out = Read_File(pdf);
  fs::remove(pdf);
  EXPECT_EQ(out.rfind("%PDF", 0), 0u);
  // 400 lines at 9 points do not fit on one page.
  std::size_t pages = 0;
  for (std::size_t at = out.find("/Type /Page\n"); at != std::string::npos; at = out.find("/Type /Page\n", at + 1)) ++pages;
  EXPECT_GE(pages, 5u);
}

TEST(LogWindow, SaveWritesTheChosenFormatWithItsExtension) {
  Log_Bench b;
  b.log.Line("KORV Mensaro, Stylomat Version 1.0.0");
  b.log.Line("From Tablet: {\\}");
  const fs::path dir = fs::temp_directory_path() / ("stylomat_log_save_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  QString error;

  ASSERT_TRUE(b.window.Save_Log(QString::fromStdString((dir / "log").string()), QString::fromUtf8(Txt_Filter.data()), &error));
  EXPECT_EQ(Read_File(dir / "log.txt"), "KORV Mensaro, Stylomat Version 1.0.0" + std::string(Platform_Line_End) +
                                            "From Tablet: {\\}" + std::string(Platform_Line_End));

  ASSERT_TRUE(b.window.Save_Log(QString::fromStdString((dir / "PRX Debug 1-5-2008.rtf").string()),
                                QString::fromUtf8(Rtf_Filter.data()), &error));
  EXPECT_EQ(Read_File(dir / "PRX Debug 1-5-2008.rtf").rfind("{\\rtf1", 0), 0u);

  EXPECT_FALSE(b.window.Save_Log(QString::fromStdString((dir / "missing" / "x.rtf").string()),
                                 QString::fromUtf8(Rtf_Filter.data()), &error));
  EXPECT_FALSE(error.isEmpty());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace stylomat::gui
