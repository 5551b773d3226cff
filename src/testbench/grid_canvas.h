#pragma once
// The drawing of the grid view Tbl_Grid, kept as an RGB raster in the core
// so that the window, the command line and the saved bitmap show the same
// picture.
//
// The raster covers the view's coordinate system (Grid_Scale, tablet
// counts): the left edge is X = Left, the right edge X = Left + Width, the
// top row Y = Top and the bottom row Y = Bottom, so Y grows upwards as on
// the tablet, and a Plug-and-Play tablet's view starting at 800 counts
// maps 800 to the first column and the bottom row.  Its longer side has at
// most Max_Side pixels whatever the tablet's size, and no stroke adds
// memory: the picture of a whole day's test is as big as an empty one.
//
// A view displays Bytes(): Height() rows of Width() pixels, top row first,
// three bytes a pixel in the order red, green, blue, each row Stride()
// bytes long (a multiple of four).  Revision() grows with every change.
#include <cstdint>
#include <string>
#include <vector>

#include "core/grid_view_state.h"

namespace stylomat {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

class Grid_Canvas {
 public:
  static constexpr int Max_Side = 1024;
  static constexpr int Max_Line_Width = 32;
  // A dark slate on which both strokes stand out.
  static constexpr Rgb Background{16, 24, 48};
  static constexpr Rgb Normal_Stroke{255, 255, 255};
  static constexpr Rgb Error_Stroke{255, 0, 0};

  // A 1 x 1 picture until the view's coordinate system is set.
  Grid_Canvas();

  // Takes the view's coordinate system and clears the picture.  A width or
  // height of 0 counts or less is taken as 1 count.  max_side (at least 1,
  // at most Max_Side) bounds the longer side in pixels; the other side
  // keeps the tablet's proportions.
  void Set_Scale(const Grid_Scale& scale, int max_side = Max_Side);
  const Grid_Scale& Scale() const { return scale_; }

  // Fills the picture with the background.
  void Clear();

  // A stroke from (x0, y0) to (x1, y1) in tablet counts, with round ends,
  // `width` pixels wide (1 to Max_Line_Width): white, or red for an error.
  // Parts outside the picture are cut off; the work is bounded by the
  // picture's size, however far off the points lie.
  void Draw_Line(long x0, long y0, long x1, long y1, bool error, int width);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  const std::uint8_t* Bytes() const { return pixels_.data(); }
  std::uint64_t Revision() const { return revision_; }

  // The part of the picture changed since the last Take_Changed, in
  // pixels (bounds included, cut to the picture), so that a view redraws
  // only that part; Empty() when nothing changed.  Taking it starts anew.
  struct Pixel_Rect {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool Empty() const { return right < left || bottom < top; }
    bool operator==(const Pixel_Rect&) const = default;
  };
  Pixel_Rect Take_Changed();

  // The pixel at column px of row py (row 0 at the top); the background
  // outside the picture.
  Rgb Pixel(int px, int py) const;
  // Column and row of a point in tablet counts (may lie outside).
  struct Pixel_Position {
    long column;
    long row;
  };
  Pixel_Position Pixel_Of(long x, long y) const;

  // The picture as a Windows bitmap file: 24 bits a pixel, rows bottom up,
  // each padded to four bytes.
  std::string Bitmap_File() const;
  // Writes Bitmap_File() to path through a temporary file renamed over it,
  // so a failed save never leaves half a file.  On failure error says why
  // in words and the result is false.
  bool Save_Bitmap(const std::string& path, std::string& error) const;

 private:
  void Plot_Brush(long cx, long cy, Rgb color, int width);
  void Set_Pixel(long px, long py, Rgb color);
  void Mark_Changed(long left, long top, long right, long bottom);

  Grid_Scale scale_;
  int width_ = 1;
  int height_ = 1;
  int stride_ = 4;
  std::vector<std::uint8_t> pixels_;
  std::uint64_t revision_ = 0;
  Pixel_Rect changed_;
};

}  // namespace stylomat
