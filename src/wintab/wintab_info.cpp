#include "wintab/wintab_info.h"

#include <array>

#include "serial/serial_link.h"
#include "wintab/wintab_texts.h"

namespace stylomat {

namespace {

constexpr std::size_t Text_Buffer_Size = 255;
constexpr const char* Select_Text = "Select an icon above to search for a Supported Tablet (F2).";

// The buffers of one run of the routine.  The text buffer is cleared to
// blanks before each query into it; the number buffer keeps what earlier
// answers left in bytes a shorter answer does not write.
struct Query_Buffers {
  std::array<std::uint8_t, Text_Buffer_Size> text{};
  std::array<std::uint8_t, 4> number{};
  std::array<std::uint8_t, Axis_Record_Size> axis{};
  std::array<std::uint8_t, Logcontext_Record_Size> context{};
};

class Wintab_Query {
 public:
  Wintab_Query(Wintab_Api& driver, Query_Buffers& b) : driver_(driver), b_(b) {}

  // A query into the text buffer; 0 when it failed.
  std::size_t Text(unsigned category, unsigned index) {
    b_.text.fill(' ');
    return driver_.WTInfo(category, index, b_.text);
  }
  // The text of a text query, or nothing when it failed.
  std::optional<std::string> Text_Answer(unsigned category, unsigned index) {
    const std::size_t size = Text(category, index);
    if (size == 0) return std::nullopt;
    return Answer_Text(b_.text, size);
  }
  // A number read back through the text buffer by its low byte.
  std::optional<std::string> Low_Byte(unsigned category, unsigned index) {
    if (Text(category, index) == 0) return std::nullopt;
    return Low_Byte_Text(b_.text);
  }
  std::optional<std::uint32_t> Number(unsigned category, unsigned index) {
    if (driver_.WTInfo(category, index, b_.number) == 0) return std::nullopt;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < b_.number.size(); ++i) v |= static_cast<std::uint32_t>(b_.number[i]) << (8 * i);
    return v;
  }
  std::optional<Wintab_Axis> Axis(unsigned category, unsigned index) {
    if (driver_.WTInfo(category, index, b_.axis) == 0) return std::nullopt;
    return Decode_Axis(b_.axis);
  }
  std::size_t Context(Wintab_Logcontext& into) {
    const std::size_t size = driver_.WTInfo(wti::DEFCONTEXT, 0, b_.context);
    if (size > 0) into = Decode_Logcontext(b_.context);
    return size;
  }

 private:
  Wintab_Api& driver_;
  Query_Buffers& b_;
};

// Sets a field when its query answered; a failing query leaves the field
// as it was.
void Set(std::string& field, const std::optional<std::string>& value) {
  if (value) field = *value;
}

void Show_Axis(Wintab_Query& q, unsigned index, std::string& min, std::string& max, std::string& units,
               std::string& res) {
  const auto axis = q.Axis(wti::DEVICES, index);
  if (!axis) return;
  min = std::to_string(axis->Min);
  max = std::to_string(axis->Max);
  units = Units_Text(axis->Units);
  res = Resolution_Text(axis->Resolution);
}

void No_Files_Outcome(Session& s) {
  Main_Window_State& m = s.main;
  s.Wintab_Present = false;
  m.TW_Check_Enabled = false;
  m.L_TW_Check.visible = false;
  m.WT_Info_Btn.visible = false;
  m.ErrorMsg.text = No_Wintab_Files_Text();
  m.ErrorMsg.visible = true;
  m.Touch();
}

void Log_Problem(Session& s, Wintab_Api& driver) {
  const std::string problem = driver.Problem();
  s.wintab.WT_Testing.Problem = problem;
  if (!problem.empty()) Log_Line(s, problem);
}

// Steps of the routine: the interface values.
void Read_Interface(Wintab_Query& q, Wintab_Monitor_State& f) {
  Set(f.Wintab_ID, q.Text_Answer(wti::INTERFACE, wti::IFC_WINTABID));
  if (const auto v = q.Number(wti::INTERFACE, wti::IFC_SPECVERSION)) f.Wintab_Sp_Version = Version_Word_Text(*v);
  if (const auto v = q.Number(wti::INTERFACE, wti::IFC_IMPLVERSION)) f.Wintab_Im_Version = Version_Word_Text(*v);
  Set(f.Wintab_N_Dev, q.Low_Byte(wti::INTERFACE, wti::IFC_NDEVICES));
  Set(f.Wintab_N_Cur, q.Low_Byte(wti::INTERFACE, wti::IFC_NCURSORS));
  Set(f.Wintab_N_Cont, q.Low_Byte(wti::INTERFACE, wti::IFC_NCONTEXTS));
  Set(f.Wintab_N_MH, q.Low_Byte(wti::INTERFACE, wti::IFC_NMANAGERS));
  if (const auto v = q.Number(wti::DEFSYSCTX, wti::CTX_SYSEXTX)) {
    f.Wintab_Screen_X = std::to_string(static_cast<std::int32_t>(*v));
  }
  if (const auto v = q.Number(wti::DEFSYSCTX, wti::CTX_SYSEXTY)) {
    f.Wintab_Screen_Y = std::to_string(static_cast<std::int32_t>(*v));
  }
}

// The device name, and the tablet and driver version the main window shows.
void Read_Device_Name(Session& s, Wintab_Query& q) {
  Wintab_Monitor_State& f = s.wintab.WT_Testing;
  const auto name = q.Text_Answer(wti::DEVICES, wti::DVC_NAME);
  if (name) {
    const Device_Name_Parts parts = Split_Device_Name(*name);
    f.Tablet_ID = parts.Tablet_ID;
    f.Device_Ver = parts.Device_Ver;
    f.Device_Format = parts.Device_Format;
  }
  Tablet_Identity& id = s.identity;
  id.Firmware_Text = f.Device_Ver;
  id.Model_Name = f.Tablet_ID;
  if (Has_Early_Driver_Prefix(id.Model_Name)) {
    id.Model_Name = Early_Driver_Model;
    id.Firmware_Text = Early_Driver_Version;
  }
  id.Product_Reply = id.Model_Name;
  s.Facts_Changed();
}

void Read_Size(Session& s) {
  Wintab_Monitor_State& f = s.wintab.WT_Testing;
  const auto size = Size_From_Fields(f.X_Max, f.X_Res, f.Y_Max, f.Y_Res);
  if (size) {
    f.Size_Frame = "Size : " + size->Width + " x " + size->Height + " " + f.X_Units;
  } else {
    // Without a resolution the size is known only in counts.
    f.Size_Frame = "Size : " + f.X_Max + " x " + f.Y_Max + " counts (no resolution)";
  }
  // The size shown is the driver's tablet's, also when a serial tablet was
  // found before (its size would stand beside the driver's tablet's name).
  Tablet_Identity& id = s.identity;
  id.Size_Text = size ? size->Width + " x " + size->Height : f.X_Max + " x " + f.Y_Max + " counts";
  s.Facts_Changed();
}

void Read_Cursors(Session& s, Wintab_Query& q) {
  Wintab_State& w = s.wintab;
  Wintab_Monitor_State& f = w.WT_Testing;
  f.Cursor_ID.clear();
  w.Cursor_Table.fill(Wintab_Cursor{});
  const auto count = Field_Number(f.Device_N_Cur);
  const int cursors = count ? static_cast<int>(*count) : 0;
  for (int n = 0; n < cursors && n < Cursor_Table_Size; ++n) {
    const unsigned category = wti::CURSORS + static_cast<unsigned>(n);
    Wintab_Cursor& c = w.Cursor_Table[static_cast<std::size_t>(n)];
    Set(c.Name, q.Text_Answer(category, wti::CSR_NAME));
    f.Cursor_ID.push_back(c.Name);
    if (const auto b = q.Low_Byte(category, wti::CSR_BUTTONS)) c.Buttons = std::stoi(*b);
    if (const auto b = q.Low_Byte(category, wti::CSR_NPBUTTON)) c.Pressure_Button = *b != "0";
    if (const auto b = q.Low_Byte(category, wti::CSR_ACTIVE)) c.Active = *b != "0";
  }
}

void Device_Outcome(Session& s) {
  Main_Window_State& m = s.main;
  Wintab_State& w = s.wintab;
  w.Wintab_Context = Build_Wintab_Context(w.Default_Context);
  m.WT_Label.text = "Wintab tablet, sizes in " + w.WT_Testing.X_Units;
  for (Label_State* label : {&m.WT_Label, &m.Label5, &m.Tbl, &m.Label2, &m.Size_lb, &m.Version_Lb, &m.Label8}) {
    label->visible = true;
  }
  m.Grid_btn.enabled = true;
  m.WT_Info_Btn.visible = true;
  m.Touch();
  Log_Line(s, m.Tbl.text);
  Log_Line(s, "Version: " + m.Version_Lb.text);
  Log_Line(s, "Size: " + m.Size_lb.text);
}

}  // namespace

std::string No_Wintab_Files_Text() { return std::string("No Wintab files are present!") + CR + CR + Select_Text; }

std::string No_Wintab_Device_Text() {
  return std::string("Wintab files were found but no device was present!") + CR + CR + Select_Text;
}

Wintab_Logcontext Build_Wintab_Context(const Wintab_Logcontext& default_context) {
  Wintab_Logcontext c = default_context;
  c.PktData = Wintab_Packet_Data;
  c.PktMode = 0;
  return c;
}

bool Look_For_Wintab_Files(Session& s) {
  Main_Window_State& m = s.main;
  Wintab_Api* driver = s.wintab.driver;
  if (driver && driver->Load()) {
    s.Wintab_Present = driver->WTInfo(wti::INTERFACE, 0, {}) != 0;
    Log_Line(s, "Wintab files found!");
    m.TW_Check_Enabled = true;
    m.L_TW_Check.visible = true;
  } else {
    s.Wintab_Present = false;
    Log_Line(s, "No Wintab files are present!");
    m.TW_Check_Enabled = false;
    m.L_TW_Check.visible = false;
    m.WT_Info_Btn.visible = false;
  }
  m.Touch();
  return s.Wintab_Present;
}

Wintab_Outcome Read_Wintab_Information(Session& s) {
  Wintab_State& w = s.wintab;
  Main_Window_State& m = s.main;
  Wintab_Api* driver = w.driver;
  if (!driver || !driver->Load()) {
    No_Files_Outcome(s);
    s.Refresh_Log_View();
    return Wintab_Outcome::No_Files;
  }
  Query_Buffers buffers;
  Wintab_Query q(*driver, buffers);
  s.Wintab_Present = q.Text(wti::INTERFACE, 0) != 0;
  m.TW_Check_Enabled = true;
  m.L_TW_Check.visible = true;
  m.WT_Info_Btn.visible = true;
  m.Touch();

  Wintab_Monitor_State& f = w.WT_Testing;
  f.Loaded = true;
  Read_Interface(q, f);
  Read_Device_Name(s, q);
  Set(f.Device_N_Cur, q.Low_Byte(wti::DEVICES, wti::DVC_NCSRTYPES));
  Set(f.Device_First_Cur, q.Low_Byte(wti::DEVICES, wti::DVC_FIRSTCSR));
  Set(f.Device_R_Rate, q.Low_Byte(wti::DEVICES, wti::DVC_PKTRATE));
  Show_Axis(q, wti::DVC_X, f.X_Min, f.X_Max, f.X_Units, f.X_Res);
  Show_Axis(q, wti::DVC_Y, f.Y_Min, f.Y_Max, f.Y_Units, f.Y_Res);
  Show_Axis(q, wti::DVC_Z, f.Z_Min, f.Z_Max, f.Z_Units, f.Z_Res);
  Read_Size(s);
  if (const auto pressure = q.Axis(wti::DEVICES, wti::DVC_NPRESSURE)) {
    f.Device_Pr_Range = std::to_string(pressure->Min) + " - " + std::to_string(pressure->Max);
  }
  Read_Cursors(s, q);
  w.Default_Context_Size = q.Context(w.Default_Context);
  f.Touch();

  Wintab_Outcome outcome = Wintab_Outcome::Device;
  if (w.Default_Context_Size > 0) {
    Device_Outcome(s);
  } else {
    outcome = Wintab_Outcome::No_Device;
    m.WT_Info_Btn.visible = false;
    m.ErrorMsg.text = No_Wintab_Device_Text();
    m.ErrorMsg.visible = true;
    m.Touch();
  }
  Log_Problem(s, *driver);
  s.Refresh_Log_View();
  return outcome;
}

}  // namespace stylomat
