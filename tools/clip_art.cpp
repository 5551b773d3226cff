#include "clip_art.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace stylomat::clips {

namespace {

// ---- a small painter: shapes by signed distance, soft one-pixel edges ----

struct Color {
  double r, g, b;
};

Color Mix(Color a, Color b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

struct Vec {
  double x, y;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }

double Circle_Distance(Vec p, Vec c, double r) { return Length(p - c) - r; }

double Box_Distance(Vec p, Vec c, Vec half, double radius) {
  const double qx = std::abs(p.x - c.x) - half.x + radius;
  const double qy = std::abs(p.y - c.y) - half.y + radius;
  const double outside = Length({std::max(qx, 0.0), std::max(qy, 0.0)});
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double Segment_Distance(Vec p, Vec a, Vec b, double radius) {
  const Vec pa = p - a;
  const Vec ba = b - a;
  const double len2 = Dot(ba, ba);
  const double h = len2 > 0 ? std::clamp(Dot(pa, ba) / len2, 0.0, 1.0) : 0.0;
  return Length(pa - ba * h) - radius;
}

class Painter {
 public:
  // Shapes are given in a design space of design_w x design_h units,
  // scaled to fit the picture and centred.
  Painter(int width, int height, double design_w, double design_h, Color background)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {
    scale_ = std::min(width / design_w, height / design_h);
    offset_ = {(width - design_w * scale_) / 2, (height - design_h * scale_) / 2};
  }

  // Paints where distance(p) < 0 (p in design units), with coverage from
  // the distance in pixels; colour(p) gives the paint at each point.
  template <class Distance, class Paint>
  void Fill(Vec lo, Vec hi, Distance distance, Paint colour, double opacity = 1.0) {
    const int x0 = std::max(0, static_cast<int>(std::floor(lo.x * scale_ + offset_.x)) - 2);
    const int y0 = std::max(0, static_cast<int>(std::floor(lo.y * scale_ + offset_.y)) - 2);
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(hi.x * scale_ + offset_.x)) + 2);
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(hi.y * scale_ + offset_.y)) + 2);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const Vec p{(x + 0.5 - offset_.x) / scale_, (y + 0.5 - offset_.y) / scale_};
        const double cover = std::clamp(0.5 - distance(p) * scale_, 0.0, 1.0) * opacity;
        if (cover <= 0) continue;
        Color& px = pixels_[static_cast<std::size_t>(y) * width_ + x];
        px = Mix(px, colour(p), cover);
      }
    }
  }
  template <class Distance>
  void Fill(Vec lo, Vec hi, Distance distance, Color colour, double opacity = 1.0) {
    Fill(lo, hi, distance, [colour](Vec) { return colour; }, opacity);
  }

  void Circle(Vec c, double r, Color colour, double opacity = 1.0) {
    Fill({c.x - r, c.y - r}, {c.x + r, c.y + r}, [=](Vec p) { return Circle_Distance(p, c, r); }, colour, opacity);
  }
  void Ring(Vec c, double r, double w, Color colour) {
    Fill({c.x - r - w, c.y - r - w}, {c.x + r + w, c.y + r + w},
         [=](Vec p) { return std::abs(Circle_Distance(p, c, r)) - w / 2; }, colour);
  }
  void Box(Vec c, Vec half, double radius, Color colour, double opacity = 1.0) {
    Fill({c.x - half.x, c.y - half.y}, {c.x + half.x, c.y + half.y},
         [=](Vec p) { return Box_Distance(p, c, half, radius); }, colour, opacity);
  }
  // A box shaded from top to bottom.
  void Shaded_Box(Vec c, Vec half, double radius, Color top, Color bottom) {
    Fill({c.x - half.x, c.y - half.y}, {c.x + half.x, c.y + half.y},
         [=](Vec p) { return Box_Distance(p, c, half, radius); },
         [=](Vec p) { return Mix(top, bottom, std::clamp((p.y - (c.y - half.y)) / (2 * half.y), 0.0, 1.0)); });
  }
  void Line(Vec a, Vec b, double width, Color colour, double opacity = 1.0) {
    const double r = width / 2;
    Fill({std::min(a.x, b.x) - r, std::min(a.y, b.y) - r}, {std::max(a.x, b.x) + r, std::max(a.y, b.y) + r},
         [=](Vec p) { return Segment_Distance(p, a, b, r); }, colour, opacity);
  }
  // A soft halo: full strength inside `inner`, fading out to `outer`.
  void Halo(Vec c, double inner, double outer, Color colour, double strength) {
    const int x0 = std::max(0, static_cast<int>(std::floor((c.x - outer) * scale_ + offset_.x)));
    const int y0 = std::max(0, static_cast<int>(std::floor((c.y - outer) * scale_ + offset_.y)));
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil((c.x + outer) * scale_ + offset_.x)));
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil((c.y + outer) * scale_ + offset_.y)));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const Vec p{(x + 0.5 - offset_.x) / scale_, (y + 0.5 - offset_.y) / scale_};
        const double d = Length(p - c);
        if (d >= outer) continue;
        const double t = d <= inner ? 1.0 : 1.0 - (d - inner) / (outer - inner);
        Color& px = pixels_[static_cast<std::size_t>(y) * width_ + x];
        px = Mix(px, colour, strength * t * t);
      }
    }
  }

  Frame Out() const {
    Frame f;
    f.width = width_;
    f.height = height_;
    f.rgb.reserve(pixels_.size() * 3);
    for (const Color& c : pixels_) {
      for (double v : {c.r, c.g, c.b}) f.rgb.push_back(static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)));
    }
    return f;
  }

 private:
  int width_;
  int height_;
  std::vector<Color> pixels_;
  double scale_ = 1;
  Vec offset_{0, 0};
};

// ---- a stroke font: capitals of the logo and the digits of the badges ----

using Stroke = std::vector<Vec>;  // a polyline in a unit box, y down

Stroke Oval(double cx, double cy, double rx, double ry) {
  Stroke s;
  constexpr int Steps = 28;
  for (int i = 0; i <= Steps; ++i) {
    const double a = -M_PI / 2 - 2 * M_PI * i / Steps;
    s.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return s;
}

const std::map<char, std::vector<Stroke>>& Glyphs() {
  static const std::map<char, std::vector<Stroke>> glyphs = {
      {'S', {{{1, .14}, {.82, 0}, {.2, 0}, {0, .14}, {0, .34}, {.18, .48}, {.82, .52}, {1, .66}, {1, .86}, {.8, 1},
              {.18, 1}, {0, .86}}}},
      {'T', {{{0, 0}, {1, 0}}, {{.5, 0}, {.5, 1}}}},
      {'Y', {{{0, 0}, {.5, .52}, {1, 0}}, {{.5, .52}, {.5, 1}}}},
      {'L', {{{0, 0}, {0, 1}, {.95, 1}}}},
      {'O', {Oval(.5, .5, .5, .5)}},
      {'M', {{{0, 1}, {0, 0}, {.5, .62}, {1, 0}, {1, 1}}}},
      {'A', {{{0, 1}, {.5, 0}, {1, 1}}, {{.2, .64}, {.8, .64}}}},
      {'0', {Oval(.5, .5, .5, .5)}},
      {'1', {{{.22, .2}, {.56, 0}, {.56, 1}}, {{.2, 1}, {.9, 1}}}},
      {'2', {{{0, .2}, {.2, 0}, {.8, 0}, {1, .2}, {1, .38}, {0, 1}, {1, 1}}}},
      {'3', {{{0, 0}, {1, 0}, {.45, .44}, {.8, .44}, {1, .62}, {1, .84}, {.8, 1}, {.2, 1}, {0, .84}}}},
      {'4', {{{.74, 1}, {.74, 0}, {0, .68}, {1, .68}}}},
      {'5', {{{1, 0}, {0, 0}, {0, .44}, {.76, .44}, {1, .6}, {1, .84}, {.8, 1}, {0, 1}}}},
      {'6', {{{.9, 0}, {.32, 0}, {0, .34}, {0, .82}, {.2, 1}, {.8, 1}, {1, .82}, {1, .64}, {.8, .46}, {.2, .46},
              {0, .6}}}},
      {'7', {{{0, 0}, {1, 0}, {.34, 1}}}},
      {'8', {Oval(.5, .24, .4, .24), Oval(.5, .73, .5, .27)}},
      {'9', {{{.1, 1}, {.68, 1}, {1, .66}, {1, .18}, {.8, 0}, {.2, 0}, {0, .18}, {0, .36}, {.2, .54}, {.8, .54},
              {1, .4}}}},
  };
  return glyphs;
}

double Glyph_Width(char c) { return c == 'M' ? 1.15 : (c == '1' ? 0.8 : 1.0); }

struct Placed_Segment {
  Vec a, b;
  double length;
};

// The strokes of a text in design units: glyphs `height` tall, their
// width in proportion, `gap` between them, starting at `origin` (top left).
std::vector<Placed_Segment> Lay_Out(const std::string& text, Vec origin, double height, double aspect, double gap) {
  std::vector<Placed_Segment> out;
  double x = origin.x;
  for (char c : text) {
    const auto it = Glyphs().find(c);
    const double w = height * aspect * Glyph_Width(c);
    if (it != Glyphs().end()) {
      for (const Stroke& s : it->second) {
        for (std::size_t i = 1; i < s.size(); ++i) {
          const Vec a{x + s[i - 1].x * w, origin.y + s[i - 1].y * height};
          const Vec b{x + s[i].x * w, origin.y + s[i].y * height};
          out.push_back({a, b, Length(b - a)});
        }
      }
    }
    x += w + gap;
  }
  return out;
}

double Text_Width(const std::string& text, double height, double aspect, double gap) {
  double w = 0;
  for (char c : text) w += height * aspect * Glyph_Width(c) + gap;
  return text.empty() ? 0 : w - gap;
}

// Draws the first `fraction` (0 to 1) of the strokes' length; answers the
// pen's point at the end of what was drawn.
Vec Write(Painter& p, const std::vector<Placed_Segment>& segments, double width, Color colour, double fraction) {
  double total = 0;
  for (const Placed_Segment& s : segments) total += s.length;
  double budget = total * std::clamp(fraction, 0.0, 1.0);
  Vec pen = segments.empty() ? Vec{0, 0} : segments.front().a;
  for (const Placed_Segment& s : segments) {
    if (budget <= 0) break;
    const double part = std::min(1.0, budget / s.length);
    const Vec end = s.a + (s.b - s.a) * part;
    p.Line(s.a, end, width, colour);
    pen = end;
    budget -= s.length;
  }
  return pen;
}

// ---- the cursors ----------------------------------------------------------------

constexpr double Design = 160;
constexpr Color Card{232, 235, 240};
constexpr Color Shadow{150, 156, 168};
constexpr Color Body_Top{74, 79, 90};
constexpr Color Body_Bottom{36, 39, 46};
constexpr Color Outline{18, 19, 23};
constexpr Color Button_Idle{128, 134, 146};
constexpr Color Button_Edge{60, 64, 72};
constexpr Color Lit{Lit_Red, Lit_Green, Lit_Blue};
constexpr Color Lit_Halo{255, 214, 120};
constexpr Color Glass{150, 190, 225};
constexpr Color Cross{220, 40, 40};
constexpr Color Badge{40, 72, 150};
constexpr Color Ink{248, 250, 252};

struct Button_Shape {
  Vec centre;
  Vec half;  // half size; a round button has half.x == half.y == radius
  double radius;
};

std::vector<Button_Shape> Buttons(Cursor_Kind kind) {
  std::vector<Button_Shape> b;
  switch (kind) {
    case Cursor_Kind::Puck16:
      for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) b.push_back({{47.0 + 22 * col, 72.0 + 21 * row}, {8.5, 7.5}, 3});
      break;
    case Cursor_Kind::Mouse5:
      b = {{{56, 80}, {9, 12}, 4}, {{80, 80}, {9, 12}, 4}, {{104, 80}, {9, 12}, 4},
           {{63, 116}, {15, 9}, 4}, {{97, 116}, {15, 9}, 4}};
      break;
    case Cursor_Kind::Inline4:
      for (int i = 0; i < 4; ++i) b.push_back({{47.0 + 22 * i, 114}, {8.5, 12}, 4});
      break;
    case Cursor_Kind::Diamond4:
      b = {{{80, 86}, {10, 10}, 10}, {{56, 110}, {10, 10}, 10}, {{104, 110}, {10, 10}, 10}, {{80, 134}, {10, 10}, 10}};
      break;
    case Cursor_Kind::Stylus3: {
      // The tip, then two side switches along the barrel.
      b = {{{29, 135}, {4, 4}, 4}, {{63, 100}, {4.5, 4.5}, 4.5}, {{74, 89}, {4.5, 4.5}, 4.5}};
      break;
    }
  }
  return b;
}

// A lens housing with its cross hair, the front of a puck or mouse.
void Lens(Painter& p, Vec c, double r) {
  p.Circle(c, r + 6, Outline);
  p.Circle(c, r + 4.5, Body_Top);
  p.Circle(c, r, Glass, 0.55);
  p.Ring(c, r, 1.2, Outline);
  p.Line({c.x - r + 2, c.y}, {c.x + r - 2, c.y}, 1.4, Cross);
  p.Line({c.x, c.y - r + 2}, {c.x, c.y + r - 2}, 1.4, Cross);
}

void Body(Painter& p, Vec c, Vec half, double radius) {
  p.Box({c.x + 3, c.y + 5}, half, radius, Shadow, 0.6);
  p.Box(c, {half.x + 1.5, half.y + 1.5}, radius + 1.5, Outline);
  p.Shaded_Box(c, half, radius, Body_Top, Body_Bottom);
}

void Draw_Button(Painter& p, const Button_Shape& b, bool lit) {
  if (lit) p.Halo(b.centre, std::max(b.half.x, b.half.y), std::max(b.half.x, b.half.y) + 9, Lit_Halo, 0.7);
  p.Box(b.centre, {b.half.x + 1.2, b.half.y + 1.2}, b.radius + 1.2, Button_Edge);
  p.Box(b.centre, b.half, b.radius, lit ? Lit : Button_Idle);
}

void Draw_Stylus(Painter& p, const std::vector<Button_Shape>& buttons, int lit) {
  const Vec tip{29, 135};
  const Vec nose{44, 120};
  const Vec end{134, 26};
  p.Line({nose.x + 4, nose.y + 6}, {end.x + 4, end.y + 6}, 26, Shadow, 0.5);
  p.Line(nose, end, 25, Outline);
  p.Line(nose, end, 22, Body_Bottom);
  p.Line({nose.x - 2, nose.y - 2}, {end.x - 2, end.y - 2}, 12, Body_Top);
  // The grip and the cone down to the nib.
  p.Line({50, 114}, {84, 80}, 24, Outline);
  p.Line({50, 114}, {84, 80}, 21, {52, 56, 64});
  p.Line(tip, nose, 9, Outline);
  p.Line(tip, nose, 6.5, {160, 166, 176});
  for (int i = 0; i < static_cast<int>(buttons.size()); ++i) {
    const Button_Shape& b = buttons[static_cast<std::size_t>(i)];
    const bool on = lit == i + 1;
    if (on) p.Halo(b.centre, b.half.x, b.half.x + 10, Lit_Halo, 0.8);
    if (i == 0) {
      p.Circle(b.centre, b.half.x, on ? Lit : Color{90, 94, 102});
    } else {
      // A side switch lies along the barrel.
      const Vec along{-5.5, 5.5};
      p.Line(b.centre - along, b.centre + along, 2 * b.half.x + 2.4, Button_Edge);
      p.Line(b.centre - along, b.centre + along, 2 * b.half.x, on ? Lit : Button_Idle);
    }
  }
}

void Draw_Badge(Painter& p, int number) {
  const Vec c{138, 140};
  p.Circle(c, 15, Ink);
  p.Circle(c, 13.5, Badge);
  const std::string text = std::to_string(number);
  const double h = text.size() > 1 ? 11 : 13;
  const double aspect = text.size() > 1 ? 0.5 : 0.6;
  const double gap = 2;
  const double w = Text_Width(text, h, aspect, gap);
  Write(p, Lay_Out(text, {c.x - w / 2, c.y - h / 2}, h, aspect, gap), 2.2, Ink, 1.0);
}

}  // namespace

std::vector<Clip_Plan> All_Clips() {
  constexpr int Size = 160;
  constexpr int Cursor_Fps = 15;
  return {
      {"16-MNR.avi", 32, Cursor_Fps, Size, Size, false, Cursor_Kind::Puck16},
      {"5-MNR.avi", 16, Cursor_Fps, Size, Size, false, Cursor_Kind::Mouse5},
      {"4-MNR.avi", 16, Cursor_Fps, Size, Size, false, Cursor_Kind::Inline4},
      {"3-Sty.AVI", 16, Cursor_Fps, Size, Size, false, Cursor_Kind::Stylus3},
      {"4-Zelta.avi", 16, Cursor_Fps, Size, Size, false, Cursor_Kind::Diamond4},
      {"PRX_Logo.avi", Logo_Frames, 30, 360, 120, true, Cursor_Kind::Puck16},
  };
}

int Buttons_Of(Cursor_Kind kind) {
  switch (kind) {
    case Cursor_Kind::Puck16: return 16;
    case Cursor_Kind::Mouse5: return 5;
    case Cursor_Kind::Inline4:
    case Cursor_Kind::Diamond4: return 4;
    case Cursor_Kind::Stylus3: return 3;
  }
  return 0;
}

int Lit_Button(Cursor_Kind kind, int frame) {
  if (kind == Cursor_Kind::Puck16 && frame >= 16 && frame <= 31) return frame - 15;
  if (frame >= 1 && frame <= 15 && frame <= Buttons_Of(kind)) return frame;
  return 0;
}

Point Button_Centre(Cursor_Kind kind, int button, int width, int height) {
  const std::vector<Button_Shape> b = Buttons(kind);
  if (button < 1 || button > static_cast<int>(b.size())) return {};
  const double scale = std::min(width / Design, height / Design);
  const double ox = (width - Design * scale) / 2;
  const double oy = (height - Design * scale) / 2;
  const Vec c = b[static_cast<std::size_t>(button - 1)].centre;
  return {ox + c.x * scale, oy + c.y * scale};
}

Frame Draw_Cursor(Cursor_Kind kind, int frame, int width, int height) {
  Painter p(width, height, Design, Design, Card);
  const std::vector<Button_Shape> buttons = Buttons(kind);
  const int lit = Lit_Button(kind, frame);
  switch (kind) {
    case Cursor_Kind::Puck16:
      Body(p, {80, 94}, {52, 60}, 18);
      Lens(p, {80, 30}, 17);
      break;
    case Cursor_Kind::Mouse5:
      Body(p, {80, 90}, {44, 62}, 36);
      Lens(p, {80, 44}, 12);
      break;
    case Cursor_Kind::Inline4:
      Body(p, {80, 98}, {52, 46}, 16);
      Lens(p, {80, 46}, 20);
      break;
    case Cursor_Kind::Diamond4:
      Body(p, {80, 100}, {54, 52}, 24);
      Lens(p, {80, 40}, 20);
      break;
    case Cursor_Kind::Stylus3: Draw_Stylus(p, buttons, lit); break;
  }
  if (kind != Cursor_Kind::Stylus3) {
    for (int i = 0; i < static_cast<int>(buttons.size()); ++i) Draw_Button(p, buttons[static_cast<std::size_t>(i)], lit == i + 1);
  }
  if (frame > 0) Draw_Badge(p, kind == Cursor_Kind::Puck16 && frame >= 16 ? frame - 15 : frame);
  return p.Out();
}

Frame Draw_Logo(int frame, int frames, int width, int height) {
  constexpr double W = 360;
  constexpr double H = 120;
  constexpr Color Night{16, 24, 48};
  constexpr Color Grid{44, 60, 98};
  constexpr Color Letters{240, 244, 250};
  Painter p(width, height, W, H, Night);
  const int last = std::max(1, frames - 1);
  const double f = std::clamp(frame, 0, last);

  // The tablet's grid fades in.
  const double grid = std::clamp(f / 8.0, 0.0, 1.0);
  for (double x = 12; x < W; x += 24) p.Line({x, 0}, {x, H}, 1.0, Grid, grid);
  for (double y = 12; y < H; y += 24) p.Line({0, y}, {W, y}, 1.0, Grid, grid);

  // "STYLOMAT" written stroke by stroke, the pen glowing where it writes.
  const std::string word = "STYLOMAT";
  constexpr double Glyph_H = 46;
  constexpr double Aspect = 0.6;
  constexpr double Gap = 9;
  const double text_w = Text_Width(word, Glyph_H, Aspect, Gap);
  const Vec origin{(W - text_w) / 2, 26};
  const std::vector<Placed_Segment> strokes = Lay_Out(word, origin, Glyph_H, Aspect, Gap);
  const double written = std::clamp((f - 4) / 36.0, 0.0, 1.0);
  const Vec pen = Write(p, strokes, 6.5, Letters, written);
  if (written > 0 && written < 1) {
    p.Halo(pen, 2, 12, Lit_Halo, 0.8);
    p.Circle(pen, 4, Lit);
  }

  // The underline, drawn as a grid test's stroke, then a glint along it.
  const double under = std::clamp((f - 40) / 12.0, 0.0, 1.0);
  const Vec a{origin.x, 92};
  const Vec b{origin.x + text_w, 92};
  if (under > 0) p.Line(a, a + (b - a) * under, 4, Lit);
  if (f > 52) {
    const double t = (f - 52) / std::max(1.0, last - 52.0);
    p.Halo(a + (b - a) * t, 1, 10, {255, 250, 230}, 0.7);
  }
  return p.Out();
}

}  // namespace stylomat::clips
