#include "testbench/grid_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "serial/log_export.h"

namespace stylomat {

namespace {

long Span(long value) { return value > 0 ? value : 1; }

void Put_U16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put_U32(std::string& out, std::uint32_t v) {
  Put_U16(out, v & 0xFFFF);
  Put_U16(out, v >> 16);
}

// Cuts the segment to the rectangle [lo_x, hi_x] x [lo_y, hi_y]
// (Liang-Barsky).  False when nothing of it lies inside.
bool Clip(double& x0, double& y0, double& x1, double& y1, double lo_x, double hi_x, double lo_y, double hi_y) {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - lo_x, hi_x - x0, y0 - lo_y, hi_y - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const double sx = x0;
  const double sy = y0;
  x0 = sx + t0 * dx;
  y0 = sy + t0 * dy;
  x1 = sx + t1 * dx;
  y1 = sy + t1 * dy;
  return true;
}

}  // namespace

Grid_Canvas::Grid_Canvas() { Set_Scale(Grid_Scale{0, 1, 1, 0}, 1); }

void Grid_Canvas::Set_Scale(const Grid_Scale& scale, int max_side) {
  scale_ = scale;
  max_side = std::clamp(max_side, 1, Max_Side);
  const double w = static_cast<double>(Span(scale.Width));
  const double h = static_cast<double>(Span(scale.Top - scale.Bottom));
  if (w >= h) {
    width_ = max_side;
    height_ = std::max(1, static_cast<int>(std::lround(max_side * h / w)));
  } else {
    height_ = max_side;
    width_ = std::max(1, static_cast<int>(std::lround(max_side * w / h)));
  }
  stride_ = (width_ * 3 + 3) & ~3;
  pixels_.assign(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_), 0);
  Clear();
}

void Grid_Canvas::Clear() {
  for (int row = 0; row < height_; ++row) {
    std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(stride_);
    for (int column = 0; column < width_; ++column) {
      p[3 * column] = Background.r;
      p[3 * column + 1] = Background.g;
      p[3 * column + 2] = Background.b;
    }
  }
  ++revision_;
  Mark_Changed(0, 0, width_ - 1, height_ - 1);
}

void Grid_Canvas::Mark_Changed(long left, long top, long right, long bottom) {
  left = std::max(left, 0L);
  top = std::max(top, 0L);
  right = std::min(right, static_cast<long>(width_ - 1));
  bottom = std::min(bottom, static_cast<long>(height_ - 1));
  if (right < left || bottom < top) return;
  if (changed_.Empty()) {
    changed_ = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    return;
  }
  changed_.left = std::min(changed_.left, static_cast<int>(left));
  changed_.top = std::min(changed_.top, static_cast<int>(top));
  changed_.right = std::max(changed_.right, static_cast<int>(right));
  changed_.bottom = std::max(changed_.bottom, static_cast<int>(bottom));
}

Grid_Canvas::Pixel_Rect Grid_Canvas::Take_Changed() {
  const Pixel_Rect taken = changed_;
  changed_ = Pixel_Rect{};
  return taken;
}

Grid_Canvas::Pixel_Position Grid_Canvas::Pixel_Of(long x, long y) const {
  // Both edges of the coordinate system fall on pixels: the left edge on
  // the first column, the right edge on the last, the top edge on row 0.
  const double column = static_cast<double>(x - scale_.Left) * (width_ - 1) / static_cast<double>(Span(scale_.Width));
  const double row =
      static_cast<double>(scale_.Top - y) * (height_ - 1) / static_cast<double>(Span(scale_.Top - scale_.Bottom));
  return {std::lround(column), std::lround(row)};
}

Rgb Grid_Canvas::Pixel(int px, int py) const {
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return Background;
  const std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(py) * static_cast<std::size_t>(stride_) +
                          3 * static_cast<std::size_t>(px);
  return Rgb{p[0], p[1], p[2]};
}

void Grid_Canvas::Set_Pixel(long px, long py, Rgb color) {
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return;
  std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(py) * static_cast<std::size_t>(stride_) +
                    3 * static_cast<std::size_t>(px);
  p[0] = color.r;
  p[1] = color.g;
  p[2] = color.b;
}

// A round brush `width` pixels across, centred on the pixel (for an even
// width, on its lower right corner).
void Grid_Canvas::Plot_Brush(long cx, long cy, Rgb color, int width) {
  const int lo = -(width - 1) / 2;
  const int hi = lo + width - 1;
  const double centre = (lo + hi) / 2.0;
  const double radius_squared = width * width / 4.0;
  for (int dy = lo; dy <= hi; ++dy) {
    for (int dx = lo; dx <= hi; ++dx) {
      const double ex = dx - centre;
      const double ey = dy - centre;
      if (ex * ex + ey * ey <= radius_squared) Set_Pixel(cx + dx, cy + dy, color);
    }
  }
}

void Grid_Canvas::Draw_Line(long x0, long y0, long x1, long y1, bool error, int width) {
  width = std::clamp(width, 1, Max_Line_Width);
  const Rgb color = error ? Error_Stroke : Normal_Stroke;
  const Pixel_Position a = Pixel_Of(x0, y0);
  const Pixel_Position b = Pixel_Of(x1, y1);
  double ax = static_cast<double>(a.column);
  double ay = static_cast<double>(a.row);
  double bx = static_cast<double>(b.column);
  double by = static_cast<double>(b.row);
  // The brush reaches `width` pixels beyond a point; nothing further out
  // can touch the picture.
  const double margin = width;
  ++revision_;
  if (!Clip(ax, ay, bx, by, -margin, width_ - 1 + margin, -margin, height_ - 1 + margin)) return;
  long px = std::lround(ax);
  long py = std::lround(ay);
  const long ex = std::lround(bx);
  const long ey = std::lround(by);
  const long dx = std::labs(ex - px);
  const long dy = -std::labs(ey - py);
  const long sx = px < ex ? 1 : -1;
  const long sy = py < ey ? 1 : -1;
  long err = dx + dy;
  // The brush reaches at most `width` pixels from the line's pixels.
  Mark_Changed(std::min(px, ex) - width, std::min(py, ey) - width, std::max(px, ex) + width,
               std::max(py, ey) + width);
  // Bresenham: one brush per pixel along the longer axis; the clipped
  // segment has at most the picture's width plus height plus the margins.
  const long steps = dx - dy + 1;
  for (long step = 0; step < steps; ++step) {
    Plot_Brush(px, py, color, width);
    if (px == ex && py == ey) break;
    const long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += sx;
    }
    if (e2 <= dx) {
      err += dx;
      py += sy;
    }
  }
}

std::string Grid_Canvas::Bitmap_File() const {
  const std::uint32_t row_bytes = static_cast<std::uint32_t>((width_ * 3 + 3) & ~3);
  const std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(height_);
  constexpr std::uint32_t Header_Bytes = 14 + 40;
  constexpr std::uint32_t Pixels_Per_Metre = 2835;  // 72 dots an inch
  std::string out;
  out.reserve(Header_Bytes + image_bytes);
  // BITMAPFILEHEADER
  out += "BM";
  Put_U32(out, Header_Bytes + image_bytes);
  Put_U32(out, 0);
  Put_U32(out, Header_Bytes);
  // BITMAPINFOHEADER: positive height, rows bottom up
  Put_U32(out, 40);
  Put_U32(out, static_cast<std::uint32_t>(width_));
  Put_U32(out, static_cast<std::uint32_t>(height_));
  Put_U16(out, 1);   // planes
  Put_U16(out, 24);  // bits a pixel
  Put_U32(out, 0);   // no compression
  Put_U32(out, image_bytes);
  Put_U32(out, Pixels_Per_Metre);
  Put_U32(out, Pixels_Per_Metre);
  Put_U32(out, 0);
  Put_U32(out, 0);
  for (int row = height_ - 1; row >= 0; --row) {
    const std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(stride_);
    for (int column = 0; column < width_; ++column) {
      out += static_cast<char>(p[3 * column + 2]);
      out += static_cast<char>(p[3 * column + 1]);
      out += static_cast<char>(p[3 * column]);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width_) * 3; pad < row_bytes; ++pad) out += '\0';
  }
  return out;
}

bool Grid_Canvas::Save_Bitmap(const std::string& path, std::string& error) const {
  std::string reason;
  if (Write_File_Atomically(path, Bitmap_File(), reason)) {
    error.clear();
    return true;
  }
  error = "The grid picture could not be saved as \"" + path + "\": " + reason + ".";
  return false;
}

}  // namespace stylomat
