#include "testbench/grid_readouts.h"

#include <cctype>
#include <optional>

#include "wintab/wintab_texts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "core/data_file.h"

namespace stylomat {

namespace {

constexpr double Counts_Per_Inch = 1000.0;
constexpr double Half_Counts_Per_Inch = 500.0;
constexpr double Millimetres_Per_Inch = 25.4;

constexpr Cursor_Picture Pictures[] = {
    {0, "16 Button Puck", "16-MNR.avi"},
    {1, "5 Button Mouse", "5-MNR.avi"},
    {2, "4 Button Inline Puck", "4-MNR.avi"},
    {3, "3 Button Stylus", "3-Sty.AVI"},
    {4, "3 Button Pressure Stylus", "3-Sty.AVI"},
    {5, "16 Button Puck", "16-MNR.avi"},
    {6, "4 Button Diamond Puck", "4-Zelta.avi"},
    {7, "2 Button Stylus", "3-Sty.AVI"},
};

constexpr int Sixteen_Button_Puck = 0;
constexpr int Pressure_Stylus = 4;
constexpr int Diamond_Puck = 6;

bool Set(std::string& field, const std::string& value) {
  if (field == value) return false;
  field = value;
  return true;
}

bool Set(int& field, int value) {
  if (field == value) return false;
  field = value;
  return true;
}

bool Upper_Contains(const std::string& text, const char* word) {
  std::string upper;
  upper.reserve(text.size());
  for (unsigned char c : text) upper += static_cast<char>(std::toupper(c));
  return upper.find(word) != std::string::npos;
}

bool Is_One_Of(int value, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

void Show_Pressure_Controls(Grid_View_State& grid, bool visible) {
  grid.PressureRange.visible = visible;
  grid.Grid_Bar_Panels[5].visible = visible;
  grid.Pr_Range.visible = visible;
}

int Pressure_Bar_Value(const Grid_Progress& bar, int pressure) { return std::clamp(pressure, bar.min, bar.max); }

}  // namespace

Grid_Units Ticked_Units(const Main_Window_State& m) {
  if (m.Crd_Pnt.checked) return Grid_Units::Counts;
  if (m.Crd_US.checked) return Grid_Units::Inches;
  return Grid_Units::Millimetres;
}

std::string Format_General(double value) {
  if (!std::isfinite(value)) return "0";
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string out = text;
  if (out == "-0") out = "0";
  return out;
}

std::string Coordinate_Text(long counts, Grid_Units units, bool half_resolution) {
  const double per_inch = half_resolution ? Half_Counts_Per_Inch : Counts_Per_Inch;
  switch (units) {
    case Grid_Units::Counts: return std::to_string(counts);
    case Grid_Units::Inches: return Format_General(static_cast<double>(counts) / per_inch);
    case Grid_Units::Millimetres:
      return Format_General(static_cast<double>(counts) / per_inch * Millimetres_Per_Inch);
  }
  return std::to_string(counts);
}

const Cursor_Picture* Find_Cursor_Picture(int code) {
  for (const Cursor_Picture& p : Pictures)
    if (p.code == code) return &p;
  return nullptr;
}

int KV_Chord_Frame(int code, int previous, int& pair) {
  const int p = previous;
  switch (code) {
    case 1: return 1;
    case 2: return 2;
    case 3:
      if (Is_One_Of(p, {1, 2, 6})) return 3;
      if (Is_One_Of(p, {4, 7}) && pair == 11) return 3;
      pair = 4;
      return 4;
    case 4:
      if (Is_One_Of(p, {1, 3}) || (p == 6 && pair != 10)) {
        pair = 5;
        return 5;
      }
      pair = 8;
      return 8;
    case 5: return Is_One_Of(p, {2, 3, 6}) ? 6 : 9;
    case 6:
      if (Is_One_Of(p, {3, 5})) return 7;
      if (p == 4 && pair != 8) {
        pair = 7;
        return 7;
      }
      pair = 10;
      return 10;
    case 7:
      if (Is_One_Of(p, {5, 6}) || (p == 3 && pair != 4)) {
        pair = 11;
        return 11;
      }
      if (p == 4 || p == 3) {
        pair = 12;
        return 12;
      }
      return 12;
    default: return 0;
  }
}

int Diamond_Frame(int frame) {
  static constexpr int Frames[] = {1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15};
  if (frame < 1 || frame > static_cast<int>(std::size(Frames))) return 0;
  return Frames[frame - 1];
}

bool Diamond_Remap_Applies(const Tablet_Identity& id, int cursor_code) {
  if (cursor_code == Diamond_Puck && Upper_Contains(id.Product_Reply, "VELLISCOPE")) return true;
  return id.Type5_Format && (id.Type5_Cursor == Diamond_Puck || cursor_code == Diamond_Puck);
}

int Wintab_Button_Frame(int mask) {
  for (int bit = 0; bit < 16; ++bit)
    if (mask == (1 << bit)) return 16 + bit;
  return 0;
}

void Stop_Cursor_Picture(Grid_Context& g) {
  Grid_View_State& grid = g.s.main.grid;
  Show_Pressure_Controls(grid, false);
  g.player.Stop();
  g.player.Close();
  grid.Cursor_Image.visible = false;
  grid.Cursor_Image.clip_open = g.player.Is_Open();
  g.s.main.Touch();
}

void Show_Cursor_Picture(Grid_Context& g, int code) {
  Session& s = g.s;
  Report_Decoding_State& r = s.reports;
  Grid_View_State& grid = s.main.grid;
  r.Puck16_Offset = false;
  Stop_Cursor_Picture(g);
  const int cursor = r.Current_Report.Cursor_Code;
  const Cursor_Picture* picture = Find_Cursor_Picture(code);
  if (!picture) {
    grid.Cursor_Image.visible = false;
    r.Sel_Zelta_Cursor = "Unknown " + std::to_string(cursor);
    r.Shown_Cursor = cursor;
    s.main.Touch();
    return;
  }
  // Wintab reports the 16-button puck's buttons as a bit mask.
  if (code == Sixteen_Button_Puck && s.main.WT_Label.visible) r.Puck16_Offset = true;
  r.Sel_Zelta_Cursor = picture->name;
  r.Shown_Cursor = cursor;
  grid.Cursor_Image.clip_file = Data_File_Path(s.App_Dir, picture->clip);
  g.player.Set_File(grid.Cursor_Image.clip_file);
  const bool opened = g.player.Open();
  grid.Cursor_Image.clip_open = opened;
  grid.Cursor_Image.frame = g.player.Position();
  s.main.Touch();
  if (!opened) {
    s.prompter.Inform(Missing_Clip_Text, "");
    return;
  }
  if (code == Sixteen_Button_Puck) {
    g.player.Prev();
    g.player.Prev();
    grid.Cursor_Image.frame = g.player.Position();
  }
  if (code == Pressure_Stylus) Show_Pressure_Controls(grid, true);
}

void Show_Button_Picture(Grid_Context& g, int code) {
  Session& s = g.s;
  Report_Decoding_State& r = s.reports;
  const Tablet_Identity& id = s.identity;
  const int cursor = r.Current_Report.Cursor_Code;
  int frame = code;
  if (r.Puck16_Offset) frame = Wintab_Button_Frame(code);
  if (id.KV_Format || id.KV_Alt_Format) frame = KV_Chord_Frame(code, r.Shown_Button, r.Button_Pair);
  if (Diamond_Remap_Applies(id, cursor)) frame = Diamond_Frame(frame);

  const int button = r.Current_Report.Button_Code;
  s.main.Btn_Press.text = std::to_string(button);
  r.Shown_Button = button;
  Grid_Cursor_Image& image = s.main.grid.Cursor_Image;
  image.visible = true;
  s.main.Touch();
  g.player.Prev();
  if (!g.player.Play(frame, frame)) {
    if (r.Shown_Cursor != cursor) Show_Cursor_Picture(g, cursor);
    return;
  }
  image.frame = g.player.Position();
}

std::string Wintab_Coordinate_Text(long counts, Grid_Units units, bool half, const std::string& resolution) {
  const std::optional<double> res = Field_Number(resolution);
  if (units == Grid_Units::Counts || !res || !(*res > 0)) return std::to_string(counts);
  const double value = static_cast<double>(counts) / *res;
  if (units == Grid_Units::Inches) return Format_General(half ? value / 2.54 : value);
  return Format_General(half ? value * 10 : value * 25.4);
}

int Map_Wintab_Cursor(Grid_Context& g, const std::string& name, int cursor_index) {
  Session& s = g.s;
  int code = cursor_index;
  // A cursor number beyond the table keeps its number as its code.
  if (s.reports.Auto_Cursor < 0 && cursor_index >= 0 && cursor_index < Cursor_Table_Size) {
    const Wintab_Cursor& cursor = s.wintab.Cursor_Table[static_cast<std::size_t>(cursor_index)];
    std::string upper = name;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    switch (cursor.Buttons) {
      case 2: code = 7; break;
      case 3: code = cursor.Pressure_Button ? 4 : 3; break;
      case 4: code = upper.find("MENSARO") != std::string::npos ? 2 : 6; break;
      case 5: code = 1; break;
      case 16: code = 0; break;
      default: break;
    }
  }
  if (s.reports.Shown_Cursor != cursor_index) Show_Cursor_Picture(g, code);
  return code;
}

void Refresh_Readouts(Grid_Context& g, Grid_Form form) {
  Session& s = g.s;
  Main_Window_State& m = s.main;
  Grid_View_State& grid = m.grid;
  const Current_Report_State& c = s.reports.Current_Report;
  bool changed = Set(grid.Draw_Width, grid.Line_Size.value);
  const Grid_Units units = Ticked_Units(m);
  const bool half = s.identity.Half_Resolution;
  if (form == Grid_Form::Serial) {
    changed |= Set(grid.X_Cord.text, Coordinate_Text(c.Cur_X, units, half));
    changed |= Set(grid.Y_Cord.text, Coordinate_Text(c.Cur_Y, units, half));
  } else {
    const Wintab_Monitor_State& wt = s.wintab.WT_Testing;
    changed |= Set(grid.X_Cord.text, Wintab_Coordinate_Text(c.Cur_X, units, half, wt.X_Res));
    changed |= Set(grid.Y_Cord.text, Wintab_Coordinate_Text(c.Cur_Y, units, half, wt.Y_Res));
  }
  changed |= Set(grid.Pr_Range.text, std::to_string(c.Pressure));
  changed |= Set(grid.PressureRange.value, Pressure_Bar_Value(grid.PressureRange, c.Pressure));
  changed |= Set(m.Btn_Press.text, std::to_string(c.Button_Code));
  if (changed) m.Touch();
  if (form == Grid_Form::Wintab) {
    Map_Wintab_Cursor(g, s.identity.Product_Reply, c.Cursor_Code);
  } else if (s.reports.Shown_Cursor != c.Cursor_Code) {
    Show_Cursor_Picture(g, c.Cursor_Code);
  }
  if (s.reports.Shown_Button != c.Button_Code) Show_Button_Picture(g, c.Button_Code);
}

void Clear_Grid_View(Grid_Context& g) {
  Session& s = g.s;
  Main_Window_State& m = s.main;
  Grid_View_State& grid = m.grid;
  Current_Report_State& c = s.reports.Current_Report;
  g.canvas.Clear();
  grid.Tbl_Grid_ToolTip = Grid_Clear_ToolTip;
  grid.X_Cord.text = std::to_string(c.Cur_X);
  grid.Y_Cord.text = std::to_string(c.Cur_Y);
  grid.Pr_Range.text = std::to_string(c.Pressure);
  grid.PressureRange.value = Pressure_Bar_Value(grid.PressureRange, c.Pressure);
  m.Touch();
  if (s.reports.Shown_Button != c.Button_Code) Show_Button_Picture(g, c.Button_Code);
  c.Prev_Prox = false;
  s.Facts_Changed();  // the lamp follows In_Prox
}

std::string Grid_File_Name(int year, int month, int day) {
  return "PRX " + std::to_string(month) + "-" + std::to_string(day) + "-" + std::to_string(year) + ".bmp";
}

}  // namespace stylomat
