#include "superset/superset_box_texts.h"

namespace stylomat {

std::string Box_Caption(SuperSet_Box box, Config_Window window) {
  const bool korv = window == Config_Window::KORV_form;
  switch (box) {
    case SuperSet_Box::CmbSuperSet: return "&Super Set";
    case SuperSet_Box::CmbBaud: return korv ? "Ba&ud Rate" : "&Baud Rate";
    case SuperSet_Box::CmbParity: return "&Parity";
    case SuperSet_Box::Cmbdatabits: return korv ? "Da&ta Bits" : "&Data Bits";
    case SuperSet_Box::CmbStopBits: return korv ? "Stop B&its" : "&Stop Bits";
    case SuperSet_Box::CmbMode: return "&Mode";
    case SuperSet_Box::CmbDataRate: return "&Data Rate";
    case SuperSet_Box::CmbRes: return "&Resolution";
    case SuperSet_Box::CmbEmu: return "&Emulation";
    case SuperSet_Box::CmbFormat: return "&Format";
    case SuperSet_Box::ChkLF: return "Include &Line Feed";
    case SuperSet_Box::ChkCR: return "Include &Carriage Return";
    case SuperSet_Box::Chksp: return "Include &Space";
    case SuperSet_Box::ChkButtons: return "Include &Buttons";
    case SuperSet_Box::Chkdp: return "Decimal &Point";
    case SuperSet_Box::ChkAlarm: return "&Alarm Enabled";
    case SuperSet_Box::CHKORG: return "Origin/lamp";
  }
  return "";
}

std::string Box_Tool_Tip(SuperSet_Box box, Config_Window window) {
  switch (box) {
    case SuperSet_Box::CmbSuperSet:
      if (window == Config_Window::KORV_form) {
        return "Select here to change power up default or temporary change or to modify a user defined setting or "
               "select a predefined setting";
      }
      return "Select a Super Set";
    case SuperSet_Box::CmbBaud: return "Select Baud Rate";
    case SuperSet_Box::CmbParity: return "Select Parity";
    case SuperSet_Box::Cmbdatabits: return "Select 7 or 8 data bit";
    case SuperSet_Box::CmbStopBits: return "Select 1 or 2 Stop Bits";
    case SuperSet_Box::CmbMode: return "Select Operating Mode";
    case SuperSet_Box::CmbDataRate: return "Select Data Rate";
    case SuperSet_Box::CmbRes: return "Select Resolution";
    case SuperSet_Box::CmbEmu: return "Select Emulation";
    case SuperSet_Box::CmbFormat: return "Select Format";
    case SuperSet_Box::ChkLF: return "Include a Line Feed at the End of the ASCII String.";
    case SuperSet_Box::ChkCR: return "Include a Carage Return at the End of the ASCII String.";
    case SuperSet_Box::Chksp: return "Include a space in KORV ASCII format";
    case SuperSet_Box::ChkButtons: return "Include Button Information on KORV ASCII Format";
    case SuperSet_Box::Chkdp: return "Include a Decimal Point in the Zeltavision ASCII String.";
    case SuperSet_Box::ChkAlarm: return "Enable Beep on Button Press";
    case SuperSet_Box::CHKORG: return "";
  }
  return "";
}

}  // namespace stylomat
