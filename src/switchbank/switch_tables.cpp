#include "switchbank/switch_tables.h"

namespace stylomat {

namespace {

const Switch_Family_Variant Pv5_Variant{
    Config_Window::Pv5,
    "Pallivant V Advanced Configuration",
    35,
    {{{1, 0, 0, 1, 1, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 2, 2, 2}}},
    true,
    true,
};

const Switch_Family_Variant VSIII_Variant{
    Config_Window::VSIII,
    "Velliscope III Advanced Configuration",
    32,
    {{{1, 0, 0, 0, 0, 0, 1, 0}, {1, 1, 0, 1, 0, 1, 1, 0}, {1, 1, 0, 0, 1, 2, 2, 2}}},
    false,
    false,
};

const std::vector<std::string> Format_Items = {
    "BINARY WX UIOF                     8 byte",
    "ASCII UIOF counts          xxxxx,yyyyy,cc",
    "ASCII UIOF inches          xxxxx,yyyyy,cc",
    "ASCII UIOF inches with . xx.xxx,yy.yyy,cc",
    "BINARY KORV hi res                 6 byte",
    "BINARY KORV low res                5 byte",
    "KORV ASCII with space        xxxxx yyyyyc",
    "KORV ASCII w/o space          xxxxxyyyyyc",
    "BINARY MENSARO hi res              6 byte",
    "BINARY MENSARO low res             5 byte",
    "MENSARO 9100 1              tmcxxxxxyyyyy",
    "MENSARO 9100 2            xxxxx,xxxxx,tmc",
    "MENSARO 9100 3               cpxxxxxyyyyy",
    "MENSARO 9100 4          xx.xxx,yy.yyy,tmc",
    "BINARY KV                          5 byte",
    "KV ASCII                    xxxxx,yyyyy,c",
};

using B = Bank;
// The switches each report format sets, in the order they are set.
const std::array<std::vector<Format_Write>, Format_Count> Format_Rows = {{
    {{B::swa, 8, 0}, {B::swb, 7, 0}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 1}, {B::swb, 2, 0}, {B::swb, 7, 0}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 0}, {B::swb, 2, 0}, {B::swb, 7, 0}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 0}, {B::swb, 2, 1}, {B::swb, 7, 0}, {B::swb, 8, 0}},
    {{B::swa, 8, 0}, {B::swb, 6, 1}, {B::swb, 7, 0}, {B::swb, 8, 1}},
    {{B::swa, 8, 0}, {B::swb, 6, 0}, {B::swb, 7, 0}, {B::swb, 8, 1}},
    {{B::swb, 6, 1}, {B::swa, 8, 1}, {B::swb, 2, 1}, {B::swb, 7, 0}, {B::swb, 8, 1}},
    {{B::swa, 8, 1}, {B::swb, 2, 0}, {B::swb, 7, 0}, {B::swb, 8, 1}},
    {{B::swa, 8, 0}, {B::swb, 6, 1}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swa, 8, 0}, {B::swb, 6, 0}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swb, 6, 1}, {B::swa, 8, 1}, {B::swb, 1, 0}, {B::swb, 2, 0}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 1}, {B::swb, 2, 0}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 0}, {B::swb, 2, 1}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swa, 8, 1}, {B::swb, 1, 1}, {B::swb, 2, 1}, {B::swb, 7, 1}, {B::swb, 8, 0}},
    {{B::swa, 8, 0}, {B::swb, 7, 1}, {B::swb, 8, 1}},
    {{B::swa, 8, 1}, {B::swb, 7, 1}, {B::swb, 8, 1}},
}};

std::array<Setting_Box, Setting_Count> Boxes() {
  using S = Setting;
  return {{
      {S::CmbBaud, "CmbBaud", "Ba&ud Rate", {"19200", "9600", "4800", "2400", "1200", "600", "300", "150"}},
      {S::CmbParity, "CmbParity", "&Parity", {"None", "None", "Odd ", "Even"}},
      {S::Cmbdatabits, "Cmbdatabits", "Da&ta Bits", {"7", "8"}},
      {S::CmbStopBits, "CmbStopBits", "Stop B&its", {"1", "2"}},
      {S::CmbRes,
       "CmbRes",
       "&Resolution",
       {"100 lpi", "200 lpi", "1000 lpi", "2000 lpi", "4 lpmm", "10 lpmm", "40 lpmm", "80 lpmm"}},
      {S::CmbEmu, "CmbEmu", "&Emulation", {"WX UIOF", "KORV", "MENSARO", "KV/Corvelline"}},
      {S::CmbMode, "CmbMode", "&Mode", {"Prompt", "Point", "Switch Stream", "Stream"}},
      {S::CmbFormat, "CmbFormat", "&Format", Format_Items},
      {S::ChkLF, "ChkLF", "&Line Feed", {}},
      {S::ChkEcho, "ChkEcho", "Ec&ho", {}},
      {S::ChkProx, "ChkProx", "Alwa&ys transmit", {}},
      {S::ChkBeeper, "ChkBeeper", "Clic&k enabled", {}},
  }};
}

}  // namespace

const Switch_Family_Variant& Variant_Of(Config_Window window) {
  return window == Config_Window::VSIII ? VSIII_Variant : Pv5_Variant;
}

std::array<Setting_Box, Setting_Count> Setting_Boxes() { return Boxes(); }

const char* Setting_Tool_Tip(Setting setting) {
  switch (setting) {
    case Setting::CmbBaud: return "Select Baud Rate";
    case Setting::CmbParity: return "Select Parity";
    case Setting::Cmbdatabits: return "Select 7 or 8 data bit";
    case Setting::CmbStopBits: return "Select 1 or 2 Stop Bits";
    case Setting::CmbMode: return "Select Operating Mode";
    case Setting::CmbRes: return "Select Resolution";
    case Setting::CmbEmu: return "";
    case Setting::CmbFormat: return "Select Format";
    case Setting::ChkLF: return "Include a Line Feed at the End of the ASCII String.";
    case Setting::ChkBeeper: return "Enable (speaker)  Click on Button Press";
    case Setting::ChkProx: return "Send data when transducer is in or out of proximity.";
    case Setting::ChkEcho: return "Enable Echo Characters sent to the tablet.";
  }
  return "";
}

const std::vector<Format_Write>& Format_Row(int format_index) {
  static const std::vector<Format_Write> none;
  if (format_index < 0 || format_index >= Format_Count) return none;
  return Format_Rows[static_cast<std::size_t>(format_index)];
}

}  // namespace stylomat
