#include "superset/superset_form.h"

#include <initializer_list>

#include "core/session.h"

namespace stylomat {

namespace {

// A cascade settles after a handful of nested handlers; this bound only
// guards against a handler loop that should never exist.
constexpr int Max_Handler_Depth = 64;

constexpr int Power_On_Row = 0;
constexpr int Tempory_Custom_Row = 100;

struct Depth_Guard {
  explicit Depth_Guard(int& depth) : depth_(depth) { ++depth_; }
  ~Depth_Guard() { --depth_; }
  int& depth_;
};

bool Is_Any_Of(int v, std::initializer_list<int> values) {
  for (int x : values) {
    if (v == x) return true;
  }
  return false;
}

}  // namespace

const char* Box_Name(SuperSet_Box box) {
  switch (box) {
    case SuperSet_Box::CmbSuperSet: return "CmbSuperSet";
    case SuperSet_Box::CmbBaud: return "CmbBaud";
    case SuperSet_Box::CmbParity: return "CmbParity";
    case SuperSet_Box::Cmbdatabits: return "Cmbdatabits";
    case SuperSet_Box::CmbStopBits: return "CmbStopBits";
    case SuperSet_Box::CmbMode: return "CmbMode";
    case SuperSet_Box::CmbDataRate: return "CmbDataRate";
    case SuperSet_Box::CmbRes: return "CmbRes";
    case SuperSet_Box::CmbEmu: return "CmbEmu";
    case SuperSet_Box::CmbFormat: return "CmbFormat";
    case SuperSet_Box::ChkCR: return "ChkCR";
    case SuperSet_Box::ChkLF: return "ChkLF";
    case SuperSet_Box::Chksp: return "Chksp";
    case SuperSet_Box::Chkdp: return "Chkdp";
    case SuperSet_Box::ChkButtons: return "ChkButtons";
    case SuperSet_Box::ChkAlarm: return "ChkAlarm";
    case SuperSet_Box::CHKORG: return "CHKORG";
  }
  return "";
}

bool Is_List_Box(SuperSet_Box box) { return static_cast<int>(box) <= static_cast<int>(SuperSet_Box::CmbFormat); }

const std::array<SuperSet_Box, SuperSet_Box_Count>& All_SuperSet_Boxes() {
  static const std::array<SuperSet_Box, SuperSet_Box_Count> boxes = {
      SuperSet_Box::CmbSuperSet, SuperSet_Box::CmbBaud,   SuperSet_Box::CmbParity,  SuperSet_Box::Cmbdatabits,
      SuperSet_Box::CmbStopBits, SuperSet_Box::CmbMode,   SuperSet_Box::CmbDataRate, SuperSet_Box::CmbRes,
      SuperSet_Box::CmbEmu,      SuperSet_Box::CmbFormat, SuperSet_Box::ChkCR,      SuperSet_Box::ChkLF,
      SuperSet_Box::Chksp,       SuperSet_Box::Chkdp,     SuperSet_Box::ChkButtons, SuperSet_Box::ChkAlarm,
      SuperSet_Box::CHKORG};
  return boxes;
}

std::string List_Box::Text() const {
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return {};
  return items[static_cast<std::size_t>(index)];
}

SuperSet_Form::SuperSet_Form(Session& session, Config_Window window) : session_(session), window_(window) {
  SuperSet_List_Flags flags;
  flags.OEM_Mode = session.OEM_Mode;
  flags.Quorral_III_Flag = session.identity.Quorral_III_Flag;
  flags.Mirolex_III_Flag = session.identity.Mirolex_III_Flag;
  flags.Dovrane_IV_VI_Flag = session.identity.Dovrane_IV_VI_Flag;

  List_Ref(SuperSet_Box::CmbSuperSet).items = SuperSet_Entries(window, flags);
  List_Ref(SuperSet_Box::CmbBaud).items = Baud_Items();
  List_Ref(SuperSet_Box::CmbParity).items = Parity_Items();
  List_Ref(SuperSet_Box::Cmbdatabits).items = Data_Bits_Items();
  List_Ref(SuperSet_Box::CmbStopBits).items = Stop_Bits_Items();
  List_Ref(SuperSet_Box::CmbMode).items = Mode_Items();
  List_Ref(SuperSet_Box::CmbDataRate).items = Data_Rate_Items();
  List_Ref(SuperSet_Box::CmbRes).items = Resolution_Items(window);
  List_Ref(SuperSet_Box::CmbEmu).items = Emulation_Items(window, session.OEM_Mode);
  List_Ref(SuperSet_Box::CmbFormat).items = Format_Items();
  if (!Has_Box(SuperSet_Box::CHKORG)) Check_Ref(SuperSet_Box::CHKORG).visible = false;
}

// ---- boxes -------------------------------------------------------------

bool SuperSet_Form::Has_Box(SuperSet_Box box) const { return box != SuperSet_Box::CHKORG || Is_KORV(); }

const List_Box& SuperSet_Form::List(SuperSet_Box box) const { return lists_[static_cast<std::size_t>(box)]; }
const Check_Box& SuperSet_Form::Check(SuperSet_Box box) const { return checks_[static_cast<std::size_t>(box)]; }
List_Box& SuperSet_Form::List_Ref(SuperSet_Box box) { return lists_[static_cast<std::size_t>(box)]; }
Check_Box& SuperSet_Form::Check_Ref(SuperSet_Box box) { return checks_[static_cast<std::size_t>(box)]; }

Set_Result SuperSet_Form::Set_Index(SuperSet_Box box, int index) {
  if (!Is_List_Box(box)) return Set_Result::Refused;
  List_Box& list = List_Ref(box);
  if (index < 0 || static_cast<std::size_t>(index) >= list.items.size()) return Set_Result::Refused;
  if (list.index == index) return Set_Result::Unchanged;
  list.index = index;
  Changed();
  if (depth_ >= Max_Handler_Depth) return Set_Result::Changed;
  Depth_Guard guard(depth_);
  Run_Handler(box, index);
  return Set_Result::Changed;
}

Set_Result SuperSet_Form::Set_Value(SuperSet_Box box, int value) {
  if (Is_List_Box(box) || !Has_Box(box)) return Set_Result::Refused;
  if (value != 0 && value != 1) return Set_Result::Refused;
  Check_Box& check = Check_Ref(box);
  if (check.value == value) return Set_Result::Unchanged;
  check.value = value;
  Changed();
  if (depth_ >= Max_Handler_Depth) return Set_Result::Changed;
  Depth_Guard guard(depth_);
  Run_Handler(box, value);
  return Set_Result::Changed;
}

void SuperSet_Form::Set_Visible(SuperSet_Box box, bool visible) {
  Check_Box& check = Check_Ref(box);
  if (check.visible == visible) return;
  check.visible = visible;
  Changed();
}

void SuperSet_Form::Show_Format_Boxes(Emulation_Group group) {
  Set_Visible(SuperSet_Box::Chkdp, group == Emulation_Group::Zeltavision);
  Set_Visible(SuperSet_Box::Chksp, group == Emulation_Group::KORV);
  Set_Visible(SuperSet_Box::ChkButtons, group == Emulation_Group::KORV);
}

void SuperSet_Form::Set_Save_User(bool enabled) {
  if (save_user_enabled_ == enabled) return;
  save_user_enabled_ = enabled;
  Changed();
}

// Emulations 4 to 7 are the special ones: outside OEM_Mode they fold onto
// 0 to 3.  A window whose list is shorter (Mirolex II has three entries)
// folds the same way and takes entry 0 for what is still beyond its list.
int SuperSet_Form::Fold_Emulation(int emulation) const {
  if (emulation > 3 && !session_.OEM_Mode) emulation &= 3;
  const int count = static_cast<int>(List(SuperSet_Box::CmbEmu).items.size());
  if (emulation >= count) emulation &= 3;
  if (emulation >= count) emulation = 0;
  return emulation;
}

// ---- handlers ----------------------------------------------------------

void SuperSet_Form::Run_Handler(SuperSet_Box box, int value) {
  switch (box) {
    case SuperSet_Box::CmbSuperSet: On_SuperSet(value); return;
    case SuperSet_Box::CmbEmu: On_Emulation(value); return;
    case SuperSet_Box::CmbFormat: On_Format(value); return;
    case SuperSet_Box::CmbBaud: settings_.baud = value; break;
    case SuperSet_Box::CmbParity: settings_.parity = value; break;
    case SuperSet_Box::Cmbdatabits: settings_.data_bits = value; break;
    case SuperSet_Box::CmbStopBits: settings_.stop_bits = value; break;
    case SuperSet_Box::CmbMode: settings_.mode = value; break;
    case SuperSet_Box::CmbDataRate: settings_.data_rate = value; break;
    case SuperSet_Box::CmbRes: settings_.resolution = value; break;
    case SuperSet_Box::ChkCR: settings_.carriage_return = value; break;
    case SuperSet_Box::ChkLF: settings_.line_feed = value; break;
    case SuperSet_Box::Chksp: settings_.space = value; break;
    case SuperSet_Box::Chkdp: settings_.decimal_point = value; break;
    case SuperSet_Box::ChkButtons: settings_.buttons = value; break;
    case SuperSet_Box::ChkAlarm: settings_.alarm = value; break;
    case SuperSet_Box::CHKORG: settings_.origin_lamp = value; break;
  }
  Read_Settings();
}

// Loads a row into the boxes without letting the boxes' handlers write the
// table.  A caller that already holds the flag keeps it.
void SuperSet_Form::Load_Row(int n) {
  const bool was_loading = Loading_SuperSet;
  Loading_SuperSet = true;
  Save_SuperSet(n);
  Loading_SuperSet = was_loading;
}

void SuperSet_Form::On_SuperSet(int n) {
  const bool fixed = (n >= 1 && n <= 89) || (n >= 101 && n <= 104);
  const bool user = n >= 90 && n <= 99;
  const bool power_on_or_custom = n == 0 || n == 100;
  if (!fixed && !user && !power_on_or_custom) return;

  Load_Row(n);
  if (!Is_KORV()) {
    if (!fixed) Read_Settings();
    return;
  }
  if (fixed) {
    Set_Save_User(false);
    return;
  }
  if (user) {
    if (n == 99 && session_.identity.Quorral_III_Flag) {
      Set_Save_User(false);
      return;
    }
    Read_Settings();
    Set_Save_User(true);
    return;
  }
  Read_Settings();
  Set_Save_User(false);
}

void SuperSet_Form::On_Emulation(int v) {
  settings_.emulation = v;
  const Emulation_Group group = Group_Of_Emulation(v);
  Show_Format_Boxes(group);
  int format = settings_.format;
  const bool binary = Is_Any_Of(format, {0, 2, 7});
  switch (group) {
    case Emulation_Group::KORV:
      if (binary) format = 0;
      else if (Is_Any_Of(format, {1, 3, 4, 5, 6, 8})) format = 1;
      break;
    case Emulation_Group::Zeltavision:
      if (binary) format = 7;
      else if (Is_Any_Of(format, {1, 3, 4, 5, 6, 8})) format = 8;
      break;
    case Emulation_Group::Mensaro:
      if (binary) format = 2;
      else if (Is_Any_Of(format, {1, 8})) format = 3;
      break;
  }
  settings_.format = format;
  Set_Index(SuperSet_Box::CmbFormat, format);
  Read_Settings();
}

void SuperSet_Form::On_Format(int v) {
  settings_.format = v;
  int emulation = settings_.emulation;
  if (v <= 1) {
    if (Is_Any_Of(emulation, {1, 2, 6})) emulation = 0;
    Show_Format_Boxes(Emulation_Group::KORV);
  } else if (v <= 6) {
    emulation = 1;
    Show_Format_Boxes(Emulation_Group::Mensaro);
  } else if (v <= 8) {
    if (emulation != 6) emulation = 2;
    Show_Format_Boxes(Emulation_Group::Zeltavision);
  }
  emulation = Fold_Emulation(emulation);
  settings_.emulation = emulation;
  Set_Index(SuperSet_Box::CmbEmu, emulation);
  Read_Settings();
}

// ---- decoding and encoding ---------------------------------------------

void SuperSet_Form::Save_SuperSet(int n) {
  if (n < 0 || n >= SuperSet_Rows) return;
  // The bytes are taken once: handlers that run while the boxes are set may
  // rewrite the row itself.
  const SuperSet_Record record = table_[static_cast<std::size_t>(n)];
  working_record_ = record;
  if (session_.Debug_Mode) {
    session_.log.Line(Record_Text(record, " ") + "  " + Decimal_With_Blank(n));
  }
  const Decoded_Record decoded = Decode_Record(record, Is_KORV());
  const SuperSet_Settings& r = decoded.settings;

  settings_.baud = r.baud;
  Set_Index(SuperSet_Box::CmbBaud, settings_.baud);
  byte0_bit3_ = decoded.byte0_bit3;
  settings_.parity = r.parity;
  Set_Index(SuperSet_Box::CmbParity, r.parity);
  settings_.data_bits = r.data_bits;
  Set_Index(SuperSet_Box::Cmbdatabits, settings_.data_bits);
  settings_.stop_bits = r.stop_bits;
  Set_Index(SuperSet_Box::CmbStopBits, settings_.stop_bits);

  // A mode or resolution beyond the window's list shows its first entry.
  int mode = r.mode;
  if (mode >= static_cast<int>(List(SuperSet_Box::CmbMode).items.size())) mode = 0;
  settings_.mode = mode;
  Set_Index(SuperSet_Box::CmbMode, mode);
  settings_.data_rate = r.data_rate;
  Set_Index(SuperSet_Box::CmbDataRate, settings_.data_rate);
  int resolution = r.resolution;
  if (resolution >= static_cast<int>(List(SuperSet_Box::CmbRes).items.size())) resolution = 0;
  settings_.resolution = resolution;
  Set_Index(SuperSet_Box::CmbRes, resolution);

  const int emulation = Fold_Emulation(r.emulation);
  settings_.emulation = emulation;
  Set_Index(SuperSet_Box::CmbEmu, emulation);

  settings_.carriage_return = r.carriage_return;
  Set_Value(SuperSet_Box::ChkCR, settings_.carriage_return);
  settings_.line_feed = r.line_feed;
  Set_Value(SuperSet_Box::ChkLF, settings_.line_feed);
  settings_.buttons = r.buttons;
  Set_Value(SuperSet_Box::ChkButtons, settings_.buttons);
  settings_.space = r.space;
  Set_Value(SuperSet_Box::Chksp, settings_.space);
  if (Is_KORV()) {
    settings_.origin_lamp = r.origin_lamp;
    Set_Value(SuperSet_Box::CHKORG, settings_.origin_lamp);
  }
  settings_.decimal_point = r.decimal_point;
  Set_Value(SuperSet_Box::Chkdp, settings_.decimal_point);
  settings_.alarm = r.alarm;
  Set_Value(SuperSet_Box::ChkAlarm, settings_.alarm);

  // The format reads by the group of the emulation the box shows.
  const Emulation_Group group = Group_Of_Emulation(emulation);
  Show_Format_Boxes(group);
  settings_.format = Record_Format(record, group);
  Set_Index(SuperSet_Box::CmbFormat, settings_.format);
}

void SuperSet_Form::Read_Settings() {
  if (Loading_SuperSet) return;
  const int n = Selected_SuperSet();
  if (Is_Fixed_Row(n) && n < SuperSet_Rows) {
    const int copy_row = Is_KORV() ? Power_On_Row : Tempory_Custom_Row;
    table_[copy_row] = table_[static_cast<std::size_t>(n)];
    Changed();
    Select_SuperSet(copy_row);
    return;
  }

  working_record_ = Encode_Record(settings_, byte0_bit3_, Is_KORV());
  if (n >= 0 && n < SuperSet_Rows) {
    table_[static_cast<std::size_t>(n)] = working_record_;
    Changed();
  }
  if (session_.Debug_Mode) {
    session_.log.Line(Record_Text(working_record_, " ") + Decimal_With_Blank(n));
  }
}

}  // namespace stylomat
