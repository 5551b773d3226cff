#include "testbench/grid_test.h"

#include <algorithm>
#include <array>

#include "core/search_animation.h"
#include "discovery/model_table.h"
#include "discovery/port_search.h"
#include "discovery/probe_kv.h"
#include "discovery/reset_tablet.h"
#include "reports/report_decoders.h"
#include "serial/serial_link.h"
#include "testbench/grid_readouts.h"
#include "wintab/wintab_info.h"
#include "wintab/wintab_monitor.h"
#include "wintab/wintab_texts.h"

namespace stylomat {

namespace {

const std::array<const char*, 7> Seven_Cursors = {" 2 Button Stylus",      " 3 Button Stylus",
                                                   " 3 Button Pressure Stylus", " 4 Button Inline Puck",
                                                   " 4 Button Diamond Puck", " 5 Button Mouse",
                                                   " 16 Button Puck"};
const std::array<const char*, 4> Four_Cursors = {" 2 Button Stylus", " 3 Button Stylus", " 4 Button Puck",
                                                  " 16 Button Puck"};
// The cursor code of each position of the two lists.
constexpr std::array<int, 7> Seven_Codes = {7, 3, 4, 2, 6, 1, 0};
constexpr std::array<int, 4> Four_Codes = {7, 3, 6, 5};

// The SuperSet tablet's reporting set for the test, in this order.
const std::array<const char*, 10> SuperSet_Commands = {"%A1", "%VF", "%VA0", "%VA2", "%V5",
                                                        "%N0", "%W200", "%Z2", "%JR1000,0", "%VB1"};

// The Type-5 set-up, one character at a time; each group's log line is
// written after its last character.
struct Type5_Group {
  const char* bytes;
  const char* label;
};
const std::array<Type5_Group, 6> Type5_Groups = {{{"\x01", "Ctr-A"},
                                                  {"CN\r", "CN"},
                                                  {"IV\r001\r", "IV001"},
                                                  {"OP\r", "OP"},
                                                  {"R2\r", "R2"},
                                                  {"\x1b", "Esc"}}};

constexpr int Unchosen_Cursor = 20;
// The boxes that have no title of their own carry the program's name.
constexpr const char* Grid_Message_Title = "Stylomat";
constexpr int PnP_Stylus = 7;
constexpr long PnP_Origin = 800;  // the Plug-and-Play tablets count from 800
const std::string Stream_Start(1, '\x40');

std::tm Local_Today() {
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  return today;
}

}  // namespace

Grid_Test::Grid_Test(Session& s, Clip_Player& player) : s_(s), g_{s, canvas_, player} {}

namespace {
// Bytes still to come before the buffer holds a packet of every selected
// family (0: it does).
std::size_t Bytes_Missing(const Tablet_Identity& id, std::size_t held) {
  std::size_t missing = 0;
  for (Report_Family family : {Report_Family::SuperSet, Report_Family::KV, Report_Family::UIOF, Report_Family::PnP,
                               Report_Family::Type5}) {
    if (!Family_Selected(id, family)) continue;
    const std::size_t length = Format_Of(family).length;
    if (held < length) missing = std::max(missing, length - held);
  }
  return missing;
}
}  // namespace

// ---- preparing the window -----------------------------------------------------

void Grid_Test::Prepare_Window() {
  Main_Window_State& m = s_.main;
  Grid_View_State& grid = m.grid;
  for (Menu_Entry_State* e : {&m.Grid_Help, &m.Clear_Grid, &m.Btn_Clear, &m.Btn_Draw, &m.Close_Window, &m.Save_Grid,
                              &m.Coord_Opt, &m.Crd_US, &m.Crd_Mtr, &m.Crd_Pnt}) {
    e->visible = true;
  }
  for (Menu_Entry_State* e : {&m.Reset_Tbl, &m.ExitBtn, &m.Config_Tbl, &m.Find_Tablet, &m.Refresh_System_Info,
                              &m.Find_Wintab, &m.WT_Info_Btn}) {
    e->visible = false;
  }
  m.Grid_btn.enabled = false;
  grid.Tbl_Grid_ToolTip = Grid_Start_ToolTip;
  grid.Tbl_Grid_Visible = true;
  m.Btn_Press.visible = true;
  grid.Line_Size.visible = true;
  grid.LabelProx_Visible = true;
  grid.Grid_Bar_Visible = true;
  grid.X_Cord.visible = true;
  grid.Y_Cord.visible = true;
  grid.Label7.visible = true;
  m.Touch();
}

// Clears the cursor box (its list and its text) and fills it with the
// seven-item or the four-item list; Cursor_Code 20: no cursor chosen.
void Grid_Test::Fill_Cursor_Box(bool seven_items) {
  Grid_Cursor_Box& box = s_.main.grid.Sel_Zelta_Cursor;
  box.items.clear();
  s_.reports.Sel_Zelta_Cursor.clear();
  s_.reports.Current_Report.Cursor_Code = Unchosen_Cursor;
  if (seven_items) {
    box.items.assign(Seven_Cursors.begin(), Seven_Cursors.end());
  } else {
    box.items.assign(Four_Cursors.begin(), Four_Cursors.end());
  }
  s_.main.Touch();
}

void Grid_Test::Show_Version_Label() {
  Main_Window_State& m = s_.main;
  if (m.Version_Lb.text.empty()) return;
  m.Version_Lb.visible = true;
  m.Label8.visible = true;
  m.Touch();
}

// ---- preparing the tablet -------------------------------------------------------

void Grid_Test::Send_Logged(const std::string& bytes, const std::string& label) {
  s_.port.Output(bytes);
  Log_Debug(s_, "Sent: " + label);
}

void Grid_Test::Prepare_SuperSet() {
  Wait_Tick(s_);
  for (const char* command : SuperSet_Commands) {
    Send_Logged(Esc_Command(command), std::string("Esc") + command);
    Wait_Tick(s_);
  }
}

void Grid_Test::Prepare_KV() {
  Wait_Tick(s_);
  Send_Logged(Stream_Start, Stream_Start);
  Wait_Tick(s_);
  Fill_Cursor_Box(false);
  Show_Version_Label();
  s_.reports.Current_Report.Cursor_Code = s_.identity.Probe_Cursor;
  Show_Cursor_Picture(g_, s_.reports.Current_Report.Cursor_Code);
}

void Grid_Test::Prepare_KV_Alt() {
  Wait_Tick(s_);
  Send_Logged(Stream_Start, Stream_Start);
  Wait_Tick(s_);
  // The box is filled again; Cursor_Code stays as the KV block left it.
  Grid_Cursor_Box& box = s_.main.grid.Sel_Zelta_Cursor;
  box.items.assign(Four_Cursors.begin(), Four_Cursors.end());
  s_.reports.Sel_Zelta_Cursor.clear();
  s_.main.Touch();
  Show_Cursor_Picture(g_, Unchosen_Cursor);
}

bool Grid_Test::Prepare_UIOF() {
  if (!Reprobe_KV(s_)) return false;
  Wait_Tick(s_);
  Send_Logged(std::string{ESC, 'M', '0'}, "EscM0");
  Wait_Tick(s_);
  Fill_Cursor_Box(false);
  Show_Version_Label();
  s_.reports.Current_Report.Cursor_Code = s_.identity.Probe_Cursor;
  Show_Cursor_Picture(g_, s_.reports.Current_Report.Cursor_Code);
  return true;
}

void Grid_Test::Prepare_PnP() {
  const Tablet_Identity& id = s_.identity;
  s_.main.grid.Tbl_Grid_Scale = Grid_Scale{PnP_Origin, id.Tablet_Width, id.Tablet_Height, PnP_Origin};
  Wait_Tick(s_);
  Send_Logged(Stream_Start, Stream_Start);
  Wait_Tick(s_);
  s_.reports.Current_Report.Cursor_Code = PnP_Stylus;
  s_.main.grid.Sel_Zelta_Cursor.visible = false;  // the stylus of these tablets is fixed
  s_.main.Touch();
  Show_Version_Label();
  Show_Cursor_Picture(g_, PnP_Stylus);
}

void Grid_Test::Prepare_Type5() {
  for (const Type5_Group& group : Type5_Groups) {
    const std::string bytes = group.bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      s_.port.Output(bytes.substr(i, 1));
      if (i + 1 == bytes.size()) Log_Debug(s_, std::string("Sent: ") + group.label);
      Wait_Tick(s_);
    }
  }
  Fill_Cursor_Box(false);
  // The probe's cursor is taken whatever it is (0 when it found none).
  s_.reports.Current_Report.Cursor_Code = s_.identity.Type5_Cursor;
  Show_Cursor_Picture(g_, s_.reports.Current_Report.Cursor_Code);
  Show_Version_Label();
}

// Every block whose format flag is set runs, in this order, each only on
// an open port.  False when a block found the port closed or the port
// failed; failure then says why (empty for a port found closed).
bool Grid_Test::Prepare_Tablet(std::string& failure) {
  const Tablet_Identity& id = s_.identity;
  if (id.SuperSet_Format) {
    if (!s_.port.PortOpen()) return false;
    Prepare_SuperSet();
  }
  if (id.KV_Format || id.KV_Alt_Format) {
    if (!s_.port.PortOpen()) return false;
    Prepare_KV();
  }
  if (id.KV_Alt_Format) {
    if (!s_.port.PortOpen()) return false;
    Prepare_KV_Alt();
  }
  if (id.UIOF_Format) {
    if (!s_.port.PortOpen()) return false;
    if (!Prepare_UIOF()) {
      failure = "Grid & Button Test stopped: the port failed during the tablet's identification";
      return false;
    }
  }
  if (s_.main.WT_Label.visible && !Prepare_Wintab()) {
    failure = "-";  // the program ends: no message of the failure path
    return false;
  }
  if (id.PnP_Format) {
    if (!s_.port.PortOpen()) return false;
    Prepare_PnP();
  }
  if (id.Type5_Format) {
    if (!s_.port.PortOpen()) return false;
    Prepare_Type5();
  }
  return true;
}

bool Grid_Test::Prepare_Wintab() {
  Main_Window_State& m = s_.main;
  Wintab_State& wt = s_.wintab;
  (void)Read_Wintab_Information(s_);
  // The view covers the driver's tablet: its area in the driver's counts
  // (a serial tablet found earlier has another size, or none).
  const std::optional<double> x_max = Field_Number(wt.WT_Testing.X_Max);
  const std::optional<double> y_max = Field_Number(wt.WT_Testing.Y_Max);
  if (x_max && y_max && *x_max > 0 && *y_max > 0) {
    m.grid.Tbl_Grid_Scale = Grid_Scale{0, static_cast<long>(*x_max), static_cast<long>(*y_max), 0};
  }
  m.Grid_btn.enabled = false;
  m.WT_Info_Btn.visible = false;
  m.Touch();
  wt.Message_Window_Handle = Load_Message_Window(s_);
  Log_Line(s_, "myHandle ");
  s_.Refresh_Log_View();
  if (wt.driver) wt.Manager = wt.driver->WTMgrOpen(wt.Msg_Target, WT_DEFBASE);
  Log_Line(s_, "WTMessage");
  s_.Refresh_Log_View();
  if (wt.Manager == 0) {
    // The test goes on without proximity data.
    s_.prompter.Inform(No_Messaging_Text, Grid_Message_Title);
    m.grid.LabelProx_Visible = false;
    m.Touch();
    Log_Line(s_, "Wintab Messaging Could not be Established!");
    s_.prompter.Inform(Messaging_Disabled_Text(), Messaging_Disabled_Title);
  }
  if (wt.driver) wt.Context = wt.driver->WTOpen(wt.Msg_Target, wt.Wintab_Context, true);
  Log_Line(s_, "WTOpenContex");
  s_.Refresh_Log_View();
  if (wt.Context == 0) {
    s_.prompter.Inform(No_Communication_Text, Grid_Message_Title);
    Log_Line(s_, No_Communication_Text);
    Close_Wintab(s_);
    s_.Request_End();
    return false;
  }
  Hook_Message_Window(s_);
  Log_Line(s_, "Wintab Communication Successful!");
  return true;
}

void Grid_Test::Common_Reset() {
  Report_Decoding_State& r = s_.reports;
  Current_Report_State& c = r.Current_Report;
  Main_Window_State& m = s_.main;
  r.Report_Buffer.clear();
  r.Shown_Cursor = -1;
  c.Cursor_Code = -1;
  c.Cur_X = c.Cur_Y = c.Prev_X = c.Prev_Y = 0;
  r.Shown_Button = 0;
  c.Button_Code = 0;
  c.Prev_Prox = false;
  c.In_Prox = false;
  s_.Facts_Changed();  // the lamp goes hollow
  m.grid.X_Cord.text = "0";
  m.grid.Y_Cord.text = "0";
  m.Btn_Press.text = std::to_string(c.Button_Code);
  m.grid.Draw_Width = m.grid.Line_Size.value;
  m.Touch();
  s_.Stop_Test = false;
  s_.Refresh_Log_View();
  Set_Hourglass(s_, false);
}

// ---- the test -----------------------------------------------------------------------

void Grid_Test::Run_Grid_Test() {
  Set_Hourglass(s_, true);
  s_.log.Append("\r");
  Log_Line(s_, "Grid & Button Test:");
  lost_ = false;
  refreshed_ = false;
  stats_ = Grid_Statistics{};
  Prepare_Window();

  Report_Decoding_State& r = s_.reports;
  r.Auto_Cursor = -1;
  Fill_Cursor_Box(true);
  r.Sel_Zelta_Cursor = "Select Cursor";
  s_.main.grid.Sel_Zelta_Cursor.visible = true;

  const Tablet_Identity& id = s_.identity;
  s_.main.grid.Tbl_Grid_Scale = Grid_Scale{0, id.Tablet_Width, id.Tablet_Height, 0};
  s_.main.Touch();
  try {
    std::string failure;
    if (!Prepare_Tablet(failure)) {
      if (failure == "-") {
        // The driver's context could not be opened: the program ends.
        s_.Stop_Test = true;
        Set_Hourglass(s_, false);
        return;
      }
      Fail(failure);
      return;
    }
  } catch (const Port_Error& e) {
    Fail("Grid & Button Test stopped, port error " + std::to_string(e.Number()) + ": " + e.what());
    return;
  }
  // The drawing takes the view's coordinate system; a test of a tablet of
  // the same size goes on drawing over the last one, as the view kept it.
  if (!(canvas_.Scale() == s_.main.grid.Tbl_Grid_Scale)) canvas_.Set_Scale(s_.main.grid.Tbl_Grid_Scale);
  Common_Reset();
  Loop();
}

void Grid_Test::Loop() {
  s_.port.Set_InputLen(0);
  const std::optional<Framing> framing = Parse_Framing(s_.port.Settings());
  character_seconds_ = framing ? framing->Seconds_Per_Character() : 0.0;
  while (!s_.Stop_Test) {
    const bool wintab = s_.main.WT_Label.visible;
    try {
      if (s_.port.PortOpen()) {
        Process_Serial_Report();
      } else if (!wintab) {
        // No serial port and no driver: nothing can report any more.
        Fail("Grid & Button Test stopped: the port is closed");
        return;
      }
    } catch (const Port_Error& e) {
      Fail("Grid & Button Test stopped, port error " + std::to_string(e.Number()) + ": " + e.what());
      return;
    }
    if (s_.Stop_Test) break;
    if (wintab) Process_Wintab_Packet();
  }
}

void Grid_Test::Refresh_Once_A_Frame(Grid_Form form) {
  const double now = s_.clock.Now();
  constexpr double Rounding = 1e-9;
  if (refreshed_ && now < last_refresh_ + Display_Frame_Seconds - Rounding) return;
  refreshed_ = true;
  last_refresh_ = now;
  ++stats_.refreshes;
  Refresh_Readouts(g_, form);
}

void Grid_Test::Process_Wintab_Packet() {
  ++stats_.passes;
  if (!Read_Wintab_Packet(s_)) {
    // Idle: sleep until the driver has a packet (one display frame at most),
    // let the window's events and the driver's messages run.
    ++stats_.idle_passes;
    Wait_For_Wintab_Input(s_, Display_Frame_Seconds);
    Run_Window_Events(s_);
    if (s_.Stop_Test) return;
    Refresh_Once_A_Frame(Grid_Form::Wintab);
    return;
  }
  const Packet_Fields p = Read_Packet_Fields(s_.wintab.Wintab_Packet);
  Report_Decoding_State& r = s_.reports;
  Current_Report_State& c = r.Current_Report;
  c.In_Prox = p.In_Prox;
  c.Cur_X = p.X;
  c.Cur_Y = p.Y;
  c.Pressure = p.Pressure;
  c.Button_Code = p.Buttons;
  if (r.Auto_Cursor < 0) c.Cursor_Code = p.Cursor;
  if (!c.Prev_Prox) {
    c.Prev_X = c.Cur_X;
    c.Prev_Y = c.Cur_Y;
    c.Prev_Prox = c.In_Prox;
  }
  s_.Facts_Changed();  // the lamp follows In_Prox
  ++stats_.reports;
  if (c.Button_Code > 0) {
    stats_.buttons.set(static_cast<std::size_t>(std::min(c.Button_Code, Grid_Statistics::Button_Codes - 1)));
  }
  stats_.min_pressure = stats_.pressure_seen ? std::min(stats_.min_pressure, c.Pressure) : c.Pressure;
  stats_.max_pressure = stats_.pressure_seen ? std::max(stats_.max_pressure, c.Pressure) : c.Pressure;
  stats_.pressure_seen = true;
  Count(Check_Grid_Step(g_, Grid_Form::Wintab));
}

void Grid_Test::Take_Waiting_Bytes() {
  s_.port.Set_InputLen(0);
  s_.reports.Report_Buffer += s_.port.Input();
}

void Grid_Test::Count(const Grid_Step step) {
  if (step != Grid_Step::Vertical_Error && step != Grid_Step::Horizontal_Error) return;
  if (step == Grid_Step::Vertical_Error) {
    ++stats_.vertical_errors;
  } else {
    ++stats_.horizontal_errors;
  }
  if (On_Grid_Error) On_Grid_Error(s_.main.grid.Tbl_Grid_ToolTip);
}

void Grid_Test::Process_Serial_Report() {
  ++stats_.passes;
  Report_Decoding_State& r = s_.reports;
  const std::size_t waiting = static_cast<std::size_t>(s_.port.InBufferCount());
  if (Buffer_Holds_Packet(s_.identity, std::max(waiting, r.Report_Buffer.size()))) {
    Take_Waiting_Bytes();
    const Report_Change change = Decode_Report(r, s_.identity);
    if (change.packets > 0) {
      stats_.reports += change.packets;
      const Current_Report_State& c = r.Current_Report;
      if (c.Button_Code > 0) {
        stats_.buttons.set(static_cast<std::size_t>(std::min(c.Button_Code, Grid_Statistics::Button_Codes - 1)));
      }
      stats_.min_pressure = stats_.pressure_seen ? std::min(stats_.min_pressure, c.Pressure) : c.Pressure;
      stats_.max_pressure = stats_.pressure_seen ? std::max(stats_.max_pressure, c.Pressure) : c.Pressure;
      stats_.pressure_seen = true;
      if (change.proximity) s_.Facts_Changed();  // the lamp follows In_Prox
    }
    Count(Check_Grid_Step(g_));
    if (change.packets > 0 && On_Report) On_Report();
    return;
  }
  // Idle: sleep until the rest of a packet has come (one display frame at
  // most), let the window's events run, take what came, refresh the
  // read-outs once a frame.  The bytes of a packet trickle in one by one;
  // each is taken into the buffer as it comes, so the next wait sleeps
  // until the next byte, and window events run once a packet (or a frame),
  // not once a byte.
  ++stats_.idle_passes;
  const double deadline = s_.clock.Now() + Display_Frame_Seconds;
  for (;;) {
    const double now = s_.clock.Now();
    if (now >= deadline) break;
    s_.port.Wait_For_Input(deadline - now);
    if (!s_.port.PortOpen() || s_.port.InBufferCount() == 0) break;
    Take_Waiting_Bytes();
    const std::size_t missing = Bytes_Missing(s_.identity, r.Report_Buffer.size());
    if (missing == 0) break;
    // The rest cannot come sooner than its bytes take on the line: sleep
    // that long rather than wake for each of them.
    s_.clock.Sleep_Until(std::min(deadline, s_.clock.Now() + static_cast<double>(missing) * character_seconds_));
  }
  s_.Process_Events();
  if (s_.port.PortOpen() && s_.port.InBufferCount() > 0) Take_Waiting_Bytes();
  if (s_.Stop_Test) return;
  Refresh_Once_A_Frame(Grid_Form::Serial);
}

// ---- leaving the test ---------------------------------------------------------------

void Grid_Test::Hide_Grid_Controls() {
  Main_Window_State& m = s_.main;
  Grid_View_State& grid = m.grid;
  for (Menu_Entry_State* e : {&m.Clear_Grid, &m.Btn_Clear, &m.Btn_Draw, &m.Close_Window, &m.Save_Grid, &m.Grid_Help,
                              &m.Coord_Opt, &m.Crd_US, &m.Crd_Mtr, &m.Crd_Pnt}) {
    e->visible = false;
  }
  for (Menu_Entry_State* e : {&m.ExitBtn, &m.Find_Tablet, &m.Refresh_System_Info, &m.Find_Wintab}) e->visible = true;
  grid.Tbl_Grid_Visible = false;
  m.Btn_Press.visible = false;
  grid.Sel_Zelta_Cursor.visible = false;
  grid.Line_Size.visible = false;
  grid.PressureRange.visible = false;
  grid.Pr_Range.visible = false;
  grid.LabelProx_Visible = false;
  grid.Grid_Bar_Visible = false;
  grid.X_Cord.visible = false;
  grid.Y_Cord.visible = false;
  grid.Label7.visible = false;
  m.Grid_btn.enabled = true;
  m.Touch();
}

// The failure path: the port was closed when the tablet's preparation
// started, or failed during the test.
void Grid_Test::Fail(const std::string& reason) {
  lost_ = true;
  if (!reason.empty()) Log_Line(s_, reason);
  s_.prompter.Inform(Lost_Communication_Text, "");
  s_.Stop_Test = true;
  Stop_Cursor_Picture(g_);
  canvas_.Clear();
  Hide_Grid_Controls();
  s_.Refresh_Log_View();
  Reset_Main_State(s_);
  Port_Icon_Command(s_, s_.Port_Number);
}

void Grid_Test::Close_Window() {
  Main_Window_State& m = s_.main;
  s_.Stop_Test = true;
  Close_Wintab(s_);
  m.grid.About_Grid_Shown = false;
  Stop_Cursor_Picture(g_);
  Hide_Grid_Controls();
  // The tablet's own menu again.
  const Tablet_Identity& id = s_.identity;
  if (!s_.port.PortOpen() || id.PnP_Format || id.KV_Alt_Format) {
    m.Config_Tbl.visible = false;
    m.Reset_Tbl.visible = false;
    if (m.WT_Label.visible) m.WT_Info_Btn.visible = true;
  } else if (Route_Config(s_, false)) {
    m.Config_Tbl.visible = true;
    m.Reset_Tbl.visible = false;
  } else {
    m.Reset_Tbl.visible = true;
    m.Config_Tbl.visible = false;
  }
  m.Touch();
  Set_Hourglass(s_, false);
}

// ---- the test's entries -------------------------------------------------------------

void Grid_Test::Clear_Grid() { Clear_Grid_View(g_); }

void Grid_Test::Btn_Draw() {
  Main_Window_State& m = s_.main;
  m.Btn_Draw.checked = !m.Btn_Draw.checked;
  m.Btn_Clear.checked = false;
  m.Touch();
}

void Grid_Test::Btn_Clear() {
  Main_Window_State& m = s_.main;
  m.Btn_Clear.checked = !m.Btn_Clear.checked;
  m.Btn_Draw.checked = false;
  m.Touch();
}

void Grid_Test::Choose_Units(Menu_Entry_State& chosen) {
  Main_Window_State& m = s_.main;
  for (Menu_Entry_State* e : {&m.Crd_US, &m.Crd_Mtr, &m.Crd_Pnt}) e->checked = e == &chosen;
  m.Touch();
}

void Grid_Test::Crd_US() { Choose_Units(s_.main.Crd_US); }
void Grid_Test::Crd_Mtr() { Choose_Units(s_.main.Crd_Mtr); }
void Grid_Test::Crd_Pnt() { Choose_Units(s_.main.Crd_Pnt); }

bool Grid_Test::Save_Grid_As(const std::string& path, std::string& error) const {
  return canvas_.Save_Bitmap(path, error);
}

void Grid_Test::Save_Grid() {
  const std::tm today = Today ? Today() : Local_Today();
  const std::string proposed = Grid_File_Name(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday);
  const std::optional<std::string> path = s_.front_end().Ask_Save_File(proposed, Grid_File_Filter);
  if (!path || path->empty()) return;  // cancelled: nothing is written
  std::string error;
  if (!Save_Grid_As(*path, error)) s_.prompter.Inform(error, "Stylomat");
}

void Grid_Test::Grid_Help() {
  s_.main.grid.About_Grid_Shown = true;
  s_.main.Touch();
}

void Grid_Test::About_Grid_OK() {
  s_.main.grid.Tbl_Grid_ToolTip = Grid_Clear_ToolTip;
  s_.main.grid.About_Grid_Shown = false;
  s_.main.Touch();
}

void Grid_Test::Pick_Cursor(int position) {
  Report_Decoding_State& r = s_.reports;
  const std::vector<std::string>& items = s_.main.grid.Sel_Zelta_Cursor.items;
  int code = Unchosen_Cursor;
  if (items.size() == Seven_Codes.size()) {
    if (position >= 0 && position < static_cast<int>(Seven_Codes.size())) code = Seven_Codes[position];
  } else if (position >= 0 && position < static_cast<int>(Four_Codes.size())) {
    code = Four_Codes[position];
  }
  if (position >= 0 && position < static_cast<int>(items.size())) r.Sel_Zelta_Cursor = items[position];
  r.Current_Report.Cursor_Code = code;
  r.Auto_Cursor = code;
  s_.main.Touch();
}

void Grid_Test::Set_Line_Size(int value) {
  Grid_Slider& slider = s_.main.grid.Line_Size;
  slider.value = std::clamp(value, slider.min, slider.max);
  s_.main.Touch();
}

void Add_Grid_Commands(Command_Runner& runner, Grid_Test& test) {
  runner.Set("Grid_btn", [&test] { test.Run_Grid_Test(); }, Command_Mode::Grid_Test);
  const Mode_Set during_test{Command_Mode::Grid_Test};
  const auto entry = [&](const char* name, void (Grid_Test::*handler)()) {
    runner.Set(name, [&test, handler] { (test.*handler)(); }, Command_Mode::Grid_Test, during_test);
  };
  entry("Close_Window", &Grid_Test::Close_Window);
  entry("Clear_Grid", &Grid_Test::Clear_Grid);
  entry("Btn_Draw", &Grid_Test::Btn_Draw);
  entry("Btn_Clear", &Grid_Test::Btn_Clear);
  entry("Crd_US", &Grid_Test::Crd_US);
  entry("Crd_Mtr", &Grid_Test::Crd_Mtr);
  entry("Crd_Pnt", &Grid_Test::Crd_Pnt);
  entry("Save_Grid", &Grid_Test::Save_Grid);
  entry("Grid_Help", &Grid_Test::Grid_Help);
}

}  // namespace stylomat
