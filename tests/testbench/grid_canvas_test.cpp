#include "testbench/grid_canvas.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace stylomat {
namespace {

constexpr Rgb Dark = Grid_Canvas::Background;
constexpr Rgb White = Grid_Canvas::Normal_Stroke;
constexpr Rgb Red = Grid_Canvas::Error_Stroke;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

// Counts the pixels of a colour in a row.
int In_Row(const Grid_Canvas& c, int row, Rgb color) {
  int n = 0;
  for (int x = 0; x < c.Width(); ++x) n += c.Pixel(x, row) == color;
  return n;
}

// The raster keeps the tablet's proportions within its longest side, Y
// grows upwards, and both edges of the coordinate system fall on pixels,
// the Plug-and-Play origin of 800 counts included.
TEST(Grid_Canvas, TabletCountsMapOntoPixelsWithYUpAndTheViewsOrigin) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 1000, 500, 0}, 101);
  EXPECT_EQ(c.Width(), 101);
  EXPECT_EQ(c.Height(), 51);
  EXPECT_EQ(c.Stride(), 304);
  const auto bottom_left = c.Pixel_Of(0, 0);
  const auto top_right = c.Pixel_Of(1000, 500);
  EXPECT_EQ(bottom_left.column, 0);
  EXPECT_EQ(bottom_left.row, 50);
  EXPECT_EQ(top_right.column, 100);
  EXPECT_EQ(top_right.row, 0);

  c.Set_Scale(Grid_Scale{800, 6600, 4600, 800}, 331);
  EXPECT_EQ(c.Width(), 331);
  EXPECT_EQ(c.Height(), 191);  // 3800 counts high
  EXPECT_EQ(c.Pixel_Of(800, 800).column, 0);
  EXPECT_EQ(c.Pixel_Of(800, 800).row, 190);
  EXPECT_EQ(c.Pixel_Of(7400, 4600).column, 330);
  EXPECT_EQ(c.Pixel_Of(7400, 4600).row, 0);

  // However large the tablet, the picture is bounded.
  c.Set_Scale(Grid_Scale{0, 2000000000, 3, 0});
  EXPECT_EQ(c.Width(), Grid_Canvas::Max_Side);
  EXPECT_EQ(c.Height(), 1);
}

TEST(Grid_Canvas, WhiteStrokesErrorStrokesTwoWiderInRedAndClear) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 1000, 500, 0}, 101);
  for (int row = 0; row < c.Height(); ++row) EXPECT_EQ(In_Row(c, row, Dark), 101);
  const std::uint64_t before = c.Revision();

  c.Draw_Line(0, 100, 1000, 100, false, 1);  // row 40
  EXPECT_EQ(In_Row(c, 40, White), 101);
  EXPECT_EQ(In_Row(c, 39, White), 0);
  EXPECT_EQ(In_Row(c, 41, White), 0);

  c.Draw_Line(200, 400, 500, 400, true, 3);  // row 10, columns 20..50, round ends
  EXPECT_EQ(In_Row(c, 10, Red), 33);
  EXPECT_EQ(In_Row(c, 9, Red), 33);
  EXPECT_EQ(In_Row(c, 11, Red), 33);
  EXPECT_EQ(In_Row(c, 8, Red) + In_Row(c, 12, Red), 0);
  EXPECT_EQ(c.Pixel(19, 10), Red);
  EXPECT_EQ(c.Pixel(18, 10), Dark);
  EXPECT_GT(c.Revision(), before);

  c.Clear();
  EXPECT_EQ(In_Row(c, 40, Dark), 101);
  EXPECT_EQ(In_Row(c, 10, Dark), 101);
}

// Points far outside the view cost no more than the picture's size: the
// stroke is cut to the picture first.
TEST(Grid_Canvas, StrokesFarOutsideAreCutToThePicture) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 1000, 1000, 0}, 11);
  c.Draw_Line(-2000000000L, -2000000000L, 2000000000L, 2000000000L, false, 1);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(c.Pixel(i, 10 - i), White) << i;
  EXPECT_EQ(In_Row(c, 5, White), 1);
  c.Draw_Line(5000, 5000, 9000, 9000, true, 32);  // beyond the top right corner
  EXPECT_EQ(In_Row(c, 0, Red), 0);
}

// 24 bits a pixel, rows bottom up in blue-green-red order, each padded to
// four bytes; written through a temporary file, and a failure says why.
TEST(Grid_Canvas, BitmapFileAndItsAtomicSave) {
  Grid_Canvas c;
  c.Set_Scale(Grid_Scale{0, 100, 100, 0}, 3);
  c.Draw_Line(0, 0, 0, 0, true, 1);  // the bottom left pixel
  const std::string bmp = c.Bitmap_File();
  ASSERT_EQ(bmp.size(), 54u + 3 * 12);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u);
  EXPECT_EQ(U32(bmp, 14), 40u);
  EXPECT_EQ(U32(bmp, 18), 3u);
  EXPECT_EQ(U32(bmp, 22), 3u);
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  EXPECT_EQ(U32(bmp, 34), 36u);
  EXPECT_EQ(bmp.substr(54, 12), std::string("\x00\x00\xff\x30\x18\x10\x30\x18\x10\x00\x00\x00", 12));

  const auto dir = std::filesystem::temp_directory_path() / ("grid_canvas_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "PRX 3-5-2007.bmp").string();
  std::string error;
  ASSERT_TRUE(c.Save_Bitmap(path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bmp);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

  const std::string nowhere = (dir / "missing" / "grid.bmp").string();
  EXPECT_FALSE(c.Save_Bitmap(nowhere, error));
  EXPECT_EQ(error.rfind("The grid picture could not be saved as \"" + nowhere +
                            "\": cannot create a file in that folder",
                        0),
            0u)
      << error;
  EXPECT_FALSE(std::filesystem::exists(nowhere));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace stylomat
