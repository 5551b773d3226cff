#include "gui/grid_panel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/search_animation.h"
#include "gui/grid_help_dialog.h"
#include "gui/grid_view.h"
#include "gui/main_window.h"
#include "gui/please_wait_dialog.h"
#include "gui/qt_test_app.h"
#include "gui/save_file_dialog.h"
#include "platform/clip_decoder.h"
#include "support/sim_fixture.h"
#include "testbench/grid_help.h"
#include "testbench/grid_readouts.h"

namespace stylomat::gui {
namespace {

namespace fs = std::filesystem;

// A folder of a test's own, removed afterwards.
struct Folder {
  Folder() : path(fs::temp_directory_path() / ("grid_gui_" + std::to_string(::getpid()) + "_" + std::to_string(++made))) {
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path)) names.push_back(e.path().filename().string());
    return names;
  }
  static inline int made = 0;
  fs::path path;
};

// The program with a simulated tablet on COM1, searched as its icon does,
// the clips the build drew in its data directory.
struct Grid_Window {
  explicit Grid_Window(const std::string& profile) {
    test::Qt_App();
    sim.Attach_Profile(1, profile);
    sim.session.App_Dir = STYLOMAT_CLIP_DIR;
    window = std::make_unique<Main_Window>(sim.session);
    window->End = [](int) {};
    window->Start("");
    EXPECT_TRUE(window->Dispatch("Com_Btn_1"));
    EXPECT_EQ(sim.session.Search_Status, 0);
  }
  Grid_Panel& Panel() { return window->grid_panel(); }
  Grid_Test& Test() { return Panel().Test(); }
  template <class T>
  T* Find(const char* name) {
    T* found = Panel().findChild<T*>(name);
    if (!found) found = window->findChild<T*>(name);
    return found;
  }
  // Lets the view take in everything drawn so far (it takes changes in
  // once a display frame at most).
  void Show_Drawing() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    window->Process_Events();
  }
  // Runs the test; `step` is called after each report with its number
  // (from 1) and answers true to leave the test.
  void Run(const std::function<bool(int)>& step) {
    int reports = 0;
    Test().On_Report = [this, &reports, step] {
      if (step(++reports)) window->Dispatch("Close_Window");
    };
    window->Dispatch("Grid_btn");
  }

  test::Sim_Bench sim;
  std::unique_ptr<Main_Window> window;
};

#define REQUIRE_CLIPS()                                                                      \
  do {                                                                                       \
    if (!Clip_Decoder::Available()) GTEST_SKIP() << "this build shows no clips (no FFmpeg)"; \
  } while (0)

// A 24-bit bitmap file read back: width, height and pixels, top row first.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Bitmap Read_Bitmap(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at))) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + 1))) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + 2))) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + 3))) << 24;
  };
  Bitmap b;
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || bytes[28] != 24) return b;
  b.width = static_cast<int>(u32(18));
  b.height = static_cast<int>(u32(22));
  const std::size_t offset = u32(10);
  const std::size_t row = (static_cast<std::size_t>(b.width) * 3 + 3) & ~std::size_t{3};
  if (bytes.size() < offset + row * b.height) return Bitmap{};
  for (int y = 0; y < b.height; ++y) {
    const std::size_t at = offset + row * static_cast<std::size_t>(b.height - 1 - y);  // bottom up
    for (int x = 0; x < b.width; ++x) {
      const std::size_t p = at + 3 * static_cast<std::size_t>(x);
      b.pixels.push_back(Rgb{static_cast<std::uint8_t>(bytes[p + 2]), static_cast<std::uint8_t>(bytes[p + 1]),
                             static_cast<std::uint8_t>(bytes[p])});
    }
  }
  return b;
}

// Answers the next save dialog: checks what it proposes, then chooses
// `path`, or cancels when it is empty.
void Answer_Save_Dialog(const std::string& path, QStringList* filters, QString* proposed) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    *filters = dialog->nameFilters();
    *proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
    if (path.empty()) {
      dialog->reject();
    } else {
      dialog->selectFile(QString::fromStdString(path));
      static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    }
  });
}

// ---- the drawing, saving and leaving the test --------------------------------------

TEST(Grid_Gui, AStreamingTabletDrawsIntoTheViewAndTheSavedBitmapShowsItsBrokenWireInRed) {
  Grid_Window w("kv-brokenx");
  Folder folder;
  Grid_Test& test = w.Test();
  test.Today = [] {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    return t;
  };
  std::vector<std::string> errors;
  test.On_Grid_Error = [&](const std::string& text) { errors.push_back(text); };
  const std::string saved = (folder.path / "grid.bmp").string();
  QStringList filters, cancelled_filters;
  QString proposed, cancelled_proposed;
  bool view_checked = false;
  int after_error = 0;
  w.Run([&](int report) {
    if (report == 1) w.Find<QSlider>("Line_Size")->setValue(6);  // the user widens the line
    if (errors.empty() || ++after_error < 40) return false;
    // In the test's view: the drawing scaled from the core's picture, its
    // proportions kept, every stroke pixel showing.
    EXPECT_EQ(w.window->findChild<QStackedWidget*>()->currentWidget(), &w.Panel());
    w.Show_Drawing();
    const Grid_Canvas& canvas = test.Canvas();
    const Grid_View& view = w.Panel().View();
    const QImage& shown = view.Shown();
    EXPECT_NEAR(static_cast<double>(shown.width()) / shown.height(),
                static_cast<double>(canvas.Width()) / canvas.Height(), 0.01);
    // Each shown pixel is filtered from the canvas pixels around the point
    // it stands for: where all of them have one colour, it has that colour.
    const double k = static_cast<double>(shown.width()) / canvas.Width();
    int white = 0, red = 0, dark = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        const int cx = static_cast<int>((x + 0.5) / k), cy = static_cast<int>((y + 0.5) / k);
        const Rgb first = canvas.Pixel(cx, cy);
        bool uniform = true;
        for (int dy = -2; dy <= 2 && uniform; ++dy)
          for (int dx = -2; dx <= 2 && uniform; ++dx) uniform = canvas.Pixel(cx + dx, cy + dy) == first;
        if (!uniform) continue;
        const QColor c = shown.pixelColor(x, y);
        const Rgb got{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                      static_cast<std::uint8_t>(c.blue())};
        EXPECT_TRUE(got == first) << x << "," << y;
        white += first == Grid_Canvas::Normal_Stroke;
        red += first == Grid_Canvas::Error_Stroke;
        dark += first == Grid_Canvas::Background;
      }
    }
    EXPECT_GT(white, 100);
    EXPECT_GT(red, 10);
    EXPECT_GT(dark, shown.width() * shown.height() / 2);
    view_checked = true;

    Answer_Save_Dialog(saved, &filters, &proposed);
    EXPECT_TRUE(w.window->Dispatch("Save_Grid"));
    Answer_Save_Dialog("", &cancelled_filters, &cancelled_proposed);
    EXPECT_TRUE(w.window->Dispatch("Save_Grid"));
    return true;
  });
  ASSERT_TRUE(view_checked);
  EXPECT_EQ(errors, std::vector<std::string>{
                        "Vertical Grid Error, X Start: 3550  X Stop: 4050 - Y Start: 2366  Y Stop: 2400"});
  EXPECT_EQ(filters, QStringList{"Bitmap (*.bmp)"});
  EXPECT_EQ(proposed, "PRX 3-5-2007.bmp");
  EXPECT_EQ(cancelled_proposed, "PRX 3-5-2007.bmp");
  // The cancelled dialog wrote nothing.
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"grid.bmp"});

  // The bitmap is the drawing, pixel for pixel; its red pixels lie on the
  // jump across the broken wire, with the brush of Line_Size + 2.
  const Grid_Canvas& canvas = test.Canvas();
  const Bitmap b = Read_Bitmap(saved);
  ASSERT_EQ(b.width, canvas.Width());
  ASSERT_EQ(b.height, canvas.Height());
  const auto from = canvas.Pixel_Of(3550, 2366);
  const auto to = canvas.Pixel_Of(4050, 2400);
  const int brush = 6 + 2;
  int red = 0;
  bool same = true;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      same = same && b.At(x, y) == canvas.Pixel(x, y);
      if (b.At(x, y) != Grid_Canvas::Error_Stroke) continue;
      ++red;
      EXPECT_GE(x, from.column - brush);
      EXPECT_LE(x, to.column + brush);
      EXPECT_GE(y, to.row - brush);
      EXPECT_LE(y, from.row + brush);
    }
  }
  EXPECT_TRUE(same);
  EXPECT_GT(red, (to.column - from.column) * brush / 2);
  EXPECT_EQ(b.At(static_cast<int>((from.column + to.column) / 2), static_cast<int>((from.row + to.row) / 2)),
            Grid_Canvas::Error_Stroke);

  // Close_Window gave the window back.
  const Main_Window_State& m = w.sim.session.main;
  EXPECT_EQ(w.window->findChild<QStackedWidget*>()->currentIndex(), 0);
  EXPECT_FALSE(w.Panel().Grid_Bar()->isVisible());
  EXPECT_FALSE(w.window->Action("Close_Window")->isVisible());
  EXPECT_FALSE(w.window->Action("Save_Grid")->isVisible());
  EXPECT_TRUE(w.window->Action("ExitBtn")->isVisible());
  EXPECT_TRUE(w.window->Action("Grid_btn")->isEnabled());
  EXPECT_TRUE(m.Config_Tbl.visible || m.Reset_Tbl.visible);
  EXPECT_FALSE(w.Panel().Cursor_Player().Is_Open());
  EXPECT_FALSE(w.window->Command_Running());
}

// ---- the controls ------------------------------------------------------------------

TEST(Grid_Gui, TheViewRendersTheTestsControlsAndForwardsTheUsersChoices) {
  REQUIRE_CLIPS();
  Grid_Window w("kv");
  bool checked = false;
  bool picked = false;
  w.Run([&](int report) {
    if (checked) {
      // The picked cursor's clip is opened at the next refresh; its picture
      // shows from the next button frame on.
      w.window->Process_Events();
      const Grid_Cursor_Image& image = w.sim.session.main.grid.Cursor_Image;
      QLabel* picture = w.Find<QLabel>("Cursor_Image");
      EXPECT_EQ(picture->isVisible(), image.visible);
      if (!image.visible) return report > 2000;
      EXPECT_TRUE(w.Panel().Cursor_Player().File().ends_with("/3-Sty.AVI"));
      EXPECT_FALSE(picture->pixmap().isNull());
      picked = true;
      return true;
    }
    if (report != 60) return false;
    const Session& s = w.sim.session;
    const Grid_View_State& grid = s.main.grid;
    w.window->Process_Events();
    // The status bar's panels and read-outs.
    QStatusBar* bar = w.Panel().Grid_Bar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(w.Find<QLabel>("Grid_Bar_1")->text(), "X:");
    EXPECT_EQ(w.Find<QLabel>("Grid_Bar_3")->text(), "Y:");
    EXPECT_EQ(w.Find<QLabel>("Grid_Bar_5")->text(), " Size:");
    EXPECT_EQ(w.Find<QLabel>("Grid_Bar_6")->text(), "Pressure:");
    EXPECT_EQ(w.Find<QLabel>("Grid_Bar_6")->toolTip(), "Levels of Pressure Sensitivity (1 - 512).");
    EXPECT_FALSE(w.Find<QLabel>("Grid_Bar_6")->isVisible());  // a puck senses no pressure
    EXPECT_FALSE(w.Find<QProgressBar>("PressureRange")->isVisible());
    EXPECT_EQ(w.Find<QLabel>("X_Cord")->text().toStdString(), grid.X_Cord.text);
    EXPECT_EQ(w.Find<QLabel>("Y_Cord")->text().toStdString(), grid.Y_Cord.text);
    EXPECT_NE(grid.X_Cord.text, "0");
    EXPECT_EQ(w.Find<QSlider>("Line_Size")->toolTip(), "Increases or Decreases the Width of the Line.");
    EXPECT_EQ(w.Find<QLabel>("Label7")->text(), "Put the Cursor on the Tablet and Press a Button!");
    EXPECT_EQ(w.Panel().View().toolTip().toStdString(), Grid_Start_ToolTip);
    EXPECT_EQ(w.Find<QLabel>("Btn_Press")->text().toStdString(), s.main.Btn_Press.text);
    EXPECT_TRUE(w.Find<QWidget>("LabelProx")->isVisible());

    // The cursor box: the KV list; a pick sets the cursor, the picture
    // follows at the next refresh.
    QComboBox* box = w.Find<QComboBox>("Sel_Zelta_Cursor");
    EXPECT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(1), " 3 Button Stylus");
    EXPECT_EQ(box->currentText(), "4 Button Diamond Puck");
    EXPECT_TRUE(w.Panel().Cursor_Player().File().ends_with("/4-Zelta.avi"));
    emit box->activated(1);
    EXPECT_EQ(s.reports.Current_Report.Cursor_Code, 3);
    EXPECT_EQ(s.reports.Auto_Cursor, 3);
    EXPECT_EQ(box->currentText(), " 3 Button Stylus");

    // The help window and its OK.
    EXPECT_TRUE(w.window->Dispatch("Grid_Help"));
    auto& help = w.Panel().Help();
    EXPECT_TRUE(help.isVisible());
    const About_Grid_Texts texts = About_Grid();
    EXPECT_EQ(help.windowTitle(), "Grid Testing Help");
    EXPECT_EQ(help.findChild<QLabel*>("lblTitle")->text(), "Grid Test");
    EXPECT_EQ(help.findChild<QLabel*>("lblVersion")->text().toStdString(), texts.version);
    for (int i = 0; i < 3; ++i) {
      const QString n = QString::number(i + 1);
      EXPECT_EQ(help.findChild<QLabel*>("lblHeading" + n)->text().toStdString(), texts.paragraphs[i].heading);
      EXPECT_EQ(help.findChild<QLabel*>("lblText" + n)->text().toStdString(), texts.paragraphs[i].text);
    }
    help.findChild<QPushButton*>("cmdOK")->click();
    w.window->Process_Events();
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(w.Panel().View().toolTip().toStdString(), Grid_Clear_ToolTip);
    checked = true;
    return false;
  });
  EXPECT_TRUE(checked);
  EXPECT_TRUE(picked);
  EXPECT_FALSE(w.Find<QLabel>("Cursor_Image")->isVisible());
  EXPECT_FALSE(w.Panel().Help().isVisible());
}

TEST(Grid_Gui, ATabletLostDuringTheTestGivesTheWindowBackWithTheMessage) {
  Grid_Window w("kv-vanish");  // the port vanishes 2 s into the stream
  bool in_test = false;
  w.Run([&](int) {
    in_test = w.window->findChild<QStackedWidget*>()->currentWidget() == &w.Panel();
    return false;
  });
  EXPECT_TRUE(in_test);
  EXPECT_TRUE(w.Test().Lost_Communication());
  ASSERT_FALSE(w.sim.prompter.asked.empty());
  EXPECT_EQ(w.sim.prompter.asked.front().text, "Lost Communication With Tablet!");
  EXPECT_EQ(w.window->findChild<QStackedWidget*>()->currentIndex(), 0);
  EXPECT_FALSE(w.Panel().Grid_Bar()->isVisible());
  EXPECT_FALSE(w.window->Action("Close_Window")->isVisible());
  EXPECT_FALSE(w.Panel().Cursor_Player().Is_Open());
  EXPECT_FALSE(w.window->Command_Running());
}

TEST(Save_File_Dialog, FiltersInTheDialogsNotationBecomeFileDialogFilters) {
  EXPECT_EQ(Dialog_Filters("Bitmap (*.bmp)|*.bmp|"), QStringList{"Bitmap (*.bmp)"});
  EXPECT_EQ(Dialog_Filters("Bitmap|*.bmp|Text (*.txt)|*.txt"), (QStringList{"Bitmap (*.bmp)", "Text (*.txt)"}));
  EXPECT_EQ(Dialog_Filters(""), QStringList{});
}

}  // namespace
}  // namespace stylomat::gui
