#include "testbench/grid_canvas.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace stylomat {
namespace {

constexpr Rgb Dark = Grid_Canvas::Background;
constexpr Rgb White = Grid_Canvas::Normal_Stroke;
constexpr Rgb Red = Grid_Canvas::Error_Stroke;

int In_Row(const Grid_Canvas& c, int row, Rgb color) {
  int n = 0;
  for (int x = 0; x < c.Width(); ++x) n += c.Pixel(x, row) == color;
  return n;
}

// The raster keeps the tablet's proportions within its longest side, Y
// grows upwards, both edges (the Plug-and-Play origin of 800 counts too)
// fall on pixels; error strokes are red and wider; Clear wipes them.
TEST(Grid_Canvas, CountsMapOntoPixelsWithYUpAndStrokesAreDrawnAndCleared) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{800, 6600, 4600, 800}, 331);
  EXPECT_EQ(c.Height(), 191);  // 3800 counts high
  EXPECT_EQ(c.Pixel_Of(800, 800).column, 0);
  EXPECT_EQ(c.Pixel_Of(800, 800).row, 190);
  EXPECT_EQ(c.Pixel_Of(7400, 4600).column, 330);
  EXPECT_EQ(c.Pixel_Of(7400, 4600).row, 0);
  c.Set_Scale(Grid_Scale{0, 2000000000, 3, 0});
  EXPECT_EQ(c.Width(), Grid_Canvas::Max_Side);  // bounded however large the tablet

  c.Set_Scale(Grid_Scale{0, 1000, 500, 0}, 101);
  EXPECT_EQ(c.Height(), 51);
  EXPECT_EQ(c.Stride(), 304);
  const std::uint64_t before = c.Revision();
  c.Draw_Line(0, 100, 1000, 100, false, 1);  // row 40
  EXPECT_EQ(In_Row(c, 40, White), 101);
  EXPECT_EQ(In_Row(c, 39, White) + In_Row(c, 41, White), 0);
  c.Draw_Line(200, 400, 500, 400, true, 3);  // row 10, columns 20 to 50, round ends
  for (int row : {9, 10, 11}) EXPECT_EQ(In_Row(c, row, Red), 33);
  EXPECT_EQ(In_Row(c, 8, Red) + In_Row(c, 12, Red), 0);
  EXPECT_GT(c.Revision(), before);
  c.Clear();
  EXPECT_EQ(In_Row(c, 40, Dark) + In_Row(c, 10, Dark), 202);

  // Points far outside cost no more than the picture: the stroke is cut first.
  c.Set_Scale(Grid_Scale{0, 1000, 1000, 0}, 11);
  c.Draw_Line(-2000000000L, -2000000000L, 2000000000L, 2000000000L, false, 1);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(c.Pixel(i, 10 - i), White) << i;
  c.Draw_Line(5000, 5000, 9000, 9000, true, 32);
  EXPECT_EQ(In_Row(c, 0, Red), 0);
}

// A view redraws only what changed: the strokes' pixels with their brush,
// the whole picture after a clear or a new scale, nothing twice.
TEST(Grid_Canvas, TellsWhichPixelsChangedSinceTheViewLastLooked) {
  using Rect = Grid_Canvas::Pixel_Rect;
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 1000, 500, 0}, 101);
  EXPECT_EQ(c.Take_Changed(), (Rect{0, 0, 100, 50}));
  EXPECT_TRUE(c.Take_Changed().Empty());
  c.Draw_Line(200, 400, 500, 400, true, 3);  // row 10, columns 20 to 50
  EXPECT_EQ(c.Take_Changed(), (Rect{17, 7, 53, 13}));
  c.Draw_Line(0, 0, 10, 10, false, 1);     // the lower left corner
  c.Draw_Line(990, 490, 1000, 500, false, 1);  // the upper right one
  EXPECT_EQ(c.Take_Changed(), (Rect{0, 0, 100, 50}));
  c.Draw_Line(5000, 5000, 9000, 9000, false, 1);  // outside: nothing changes
  EXPECT_TRUE(c.Take_Changed().Empty());
  c.Clear();
  EXPECT_EQ(c.Take_Changed(), (Rect{0, 0, 100, 50}));
}

// 24 bits a pixel, rows bottom up in blue-green-red order, each padded to
// four bytes; written through a temporary file, and a failure says why.
TEST(Grid_Canvas, BitmapFileAndItsAtomicSave) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 100, 100, 0}, 3);
  c.Draw_Line(0, 0, 0, 0, true, 1);  // the bottom left pixel
  const std::string bmp = c.Bitmap_File();
  const std::string header("BM\x5a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\3\0\0\0\3\0\0\0\1\0\x18\0\0\0\0\0\x24\0\0\0", 38);
  EXPECT_EQ(bmp.substr(0, 38), header);
  ASSERT_EQ(bmp.size(), 90u);
  EXPECT_EQ(bmp.substr(54, 12), std::string("\x00\x00\xff\x30\x18\x10\x30\x18\x10\x00\x00\x00", 12));

  const auto dir = std::filesystem::temp_directory_path() / ("grid_canvas_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "PRX 3-5-2007.bmp").string();
  std::string error;
  ASSERT_TRUE(c.Save_Bitmap(path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bmp);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary file left

  const std::string nowhere = (dir / "missing" / "grid.bmp").string();
  EXPECT_FALSE(c.Save_Bitmap(nowhere, error));
  const std::string expected = "The grid picture could not be saved as \"" + nowhere + "\": cannot create a file";
  EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace stylomat
