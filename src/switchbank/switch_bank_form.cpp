#include "switchbank/switch_bank_form.h"

#include <cctype>

#include "app/session.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

// The cascade settles after one pass; this bound only protects the stack
// should a future change of the handlers make two of them disagree.
constexpr int Max_Cascade_Depth = 48;

const Switch_Family_Variant Pv5_Variant{
    Switch_Family::Pv5,
    "Pv5",
    "Pallivant V Advanced Configuration",
    35,
    {{{1, 0, 0, 1, 1, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 2, 2, 2}}},
    true,
    true,
};

const Switch_Family_Variant VSIII_Variant{
    Switch_Family::VSIII,
    "VSIII",
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

std::array<Setting_Box, Setting_Count> Make_Boxes() {
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

int Sw(const Switch_Banks& b, Bank bank, int number) { return b[static_cast<int>(bank)][number - 1] == 1 ? 1 : 0; }

int Bit(int v, int n) { return (v >> n) & 1; }

int Derive_Baud(const Switch_Banks& b) { return Sw(b, B::swa, 1) + 2 * Sw(b, B::swa, 2) + 4 * Sw(b, B::swa, 3); }
int Derive_Parity(const Switch_Banks& b) { return Sw(b, B::swa, 4) + 2 * Sw(b, B::swa, 5); }
int Derive_Emulation(const Switch_Banks& b) { return 2 * Sw(b, B::swb, 7) + Sw(b, B::swb, 8); }
int Derive_Resolution(const Switch_Banks& b) {
  return Sw(b, B::swb, 5) + 2 * Sw(b, B::swb, 6) + 4 * Sw(b, B::swb, 4);
}
int Derive_Mode(const Switch_Banks& b) { return Sw(b, B::swc, 1) + 2 * Sw(b, B::swc, 2); }

struct Format_Choice {
  int format;
  int code;
};

// Format index and the code the image carries, by emulation.
Format_Choice Derive_Format(const Switch_Banks& b) {
  const int ascii = Sw(b, B::swa, 8);
  const int swb1 = Sw(b, B::swb, 1);
  const int swb2 = Sw(b, B::swb, 2);
  const int swb6 = Sw(b, B::swb, 6);
  switch (Derive_Emulation(b)) {
    case 0:
      if (!ascii) return {0, 31};
      if (swb1) return {1, 15};
      return {swb2 ? 3 : 2, 15};
    case 1:
      if (!ascii) return swb6 ? Format_Choice{4, 23} : Format_Choice{5, 28};
      return swb2 ? Format_Choice{6, 9} : Format_Choice{7, 10};
    case 2:
      if (!ascii) return swb6 ? Format_Choice{8, 23} : Format_Choice{9, 28};
      return {10 + swb1 + 2 * swb2, 4 + swb1 + 2 * swb2};
    default:
      return ascii ? Format_Choice{15, 3} : Format_Choice{14, 30};
  }
}

}  // namespace

const Switch_Family_Variant& Variant_Of(Switch_Family family) {
  return family == Switch_Family::Pv5 ? Pv5_Variant : VSIII_Variant;
}

std::optional<Switch_Family> Parse_Switch_Family(std::string_view name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "PV5") return Switch_Family::Pv5;
  if (upper == "VSIII") return Switch_Family::VSIII;
  return std::nullopt;
}

const std::vector<Format_Write>& Format_Row(int format_index) {
  static const std::vector<Format_Write> none;
  if (format_index < 0 || format_index >= Format_Count) return none;
  return Format_Rows[static_cast<std::size_t>(format_index)];
}

Derived_Settings Derive_Settings(const Switch_Banks& b) {
  Derived_Settings d;
  d.baud = Derive_Baud(b);
  d.parity = Derive_Parity(b);
  d.data_bits = Sw(b, B::swa, 7);
  d.stop_bits = Sw(b, B::swa, 6);
  d.emulation = Derive_Emulation(b);
  d.resolution = Derive_Resolution(b);
  const Format_Choice f = Derive_Format(b);
  d.format = f.format;
  d.format_code = f.code;
  d.line_feed = Sw(b, B::swb, 3);
  d.mode = Derive_Mode(b);
  d.echo = Sw(b, B::swc, 3);
  d.prox = Sw(b, B::swc, 4);
  d.click = Sw(b, B::swc, 5);
  return d;
}

Switch_Image_Bytes Encode_Switch_Image(const Switch_Banks& b, std::uint8_t byte7_constant) {
  const Derived_Settings d = Derive_Settings(b);
  const int swa4 = Sw(b, B::swa, 4);
  const int swa5 = Sw(b, B::swa, 5);
  const int swb1 = Sw(b, B::swb, 1);
  const int swb2 = Sw(b, B::swb, 2);

  int i1 = 6 + 64 * d.mode;
  if (d.mode == 0) i1 += 200;  // "Prompt" goes out as 0xCE
  const int i2 = d.format_code + 32 * d.resolution;
  const int i3 = (128 * d.line_feed + 64 * d.data_bits + 8 * d.baud + 4 * swa5) ^ (swa4 + 4);
  int i4 = 97 + 16 * d.prox;
  int i5 = 2 * d.click;
  const int i6 = 16 * d.stop_bits + 8 * (1 - swb1) + 4 * (1 - swb2) + 2 * d.echo;
  int i7 = byte7_constant;
  if (d.emulation == 1) {
    i5 += 4 * (1 - swb1);
    i7 |= 128;
  }
  if (d.emulation == 3) i4 &= 191;
  return {static_cast<std::uint8_t>(i1), static_cast<std::uint8_t>(i2), static_cast<std::uint8_t>(i3),
          static_cast<std::uint8_t>(i4), static_cast<std::uint8_t>(i5), static_cast<std::uint8_t>(i6),
          static_cast<std::uint8_t>(i7)};
}

// ---------------------------------------------------------------------------

Switch_Bank_Form::Switch_Bank_Form(Switch_Family family) : variant_(&Variant_Of(family)), boxes_(Make_Boxes()) {
  for (int n = 6; n <= 8; ++n) At(B::swc, n) = Switch_Absent;
  Build_Image();
}

int Switch_Bank_Form::Switch(Bank bank, int number) const {
  if (number < 1 || number > 8) return 0;
  return banks_[static_cast<int>(bank)][number - 1];
}

bool Switch_Bank_Form::Set_Switch(Bank bank, int number, int value) {
  if (number < 1 || number > 8) return false;
  if (value != Switch_Off && value != Switch_On) return false;
  if (At(bank, number) == Switch_Absent || At(bank, number) == value) return false;
  Write(bank, number, value);
  return true;
}

void Switch_Bank_Form::Write(Bank bank, int number, int value) {
  int& sw = At(bank, number);
  if (sw == Switch_Absent || sw == value) return;  // no change
  sw = value;
  ++revision_;
  changed_since_recompute_ = true;
  if (On_Switch_Change) On_Switch_Change(bank, number, value, hold_);
  if (!hold_) Recompute_Settings();
}

std::string Switch_Bank_Form::Shown(Setting id) const {
  const Setting_Box& box = Box(id);
  if (box.value < 0) return "";
  if (box.Is_Check()) return box.value ? "on" : "off";
  return box.items[static_cast<std::size_t>(box.value)];
}

bool Switch_Bank_Form::Set_Setting(Setting id, int value) {
  const Setting_Box& box = Box(id);
  if (value < 0 || value >= box.Count()) return false;
  if (box.value == value) return false;
  Show(id, value);
  return true;
}

void Switch_Bank_Form::Show(Setting id, int value) {
  Setting_Box& box = boxes_[static_cast<int>(id)];
  if (value < 0 || value >= box.Count() || box.value == value) return;
  box.value = value;
  ++revision_;
  Run_Handler(id, value);
}

void Switch_Bank_Form::Run_Handler(Setting id, int v) {
  if (depth_ >= Max_Cascade_Depth) return;
  ++depth_;
  if (depth_ > deepest_) deepest_ = depth_;
  switch (id) {
    case Setting::CmbBaud:
      Hold();
      Write(B::swa, 1, v & 1);
      Write(B::swa, 2, (v & 2) / 2);
      Release();
      Write(B::swa, 3, (v & 4) / 4);
      break;
    case Setting::CmbParity:
      Hold();
      Write(B::swa, 5, (v & 2) / 2);
      Write(B::swa, 4, v & 1);
      Release();
      break;
    case Setting::Cmbdatabits: Write(B::swa, 7, v); break;
    case Setting::CmbStopBits: Write(B::swa, 6, v); break;
    case Setting::CmbRes:
      Hold();
      Write(B::swb, 5, v & 1);
      Write(B::swb, 6, (v & 2) / 2);
      Release();
      Write(B::swb, 4, (v & 4) / 4);
      break;
    case Setting::CmbEmu:
      Hold();
      Write(B::swb, 8, v & 1);
      Release();
      Write(B::swb, 7, (v & 2) / 2);
      break;
    case Setting::CmbMode:
      Hold();
      Write(B::swc, 1, v & 1);
      Release();
      Write(B::swc, 2, v / 2);
      break;
    case Setting::ChkLF: Write(B::swb, 3, v); break;
    case Setting::ChkEcho: Write(B::swc, 3, v); break;
    case Setting::ChkProx: Write(B::swc, 4, v); break;
    case Setting::ChkBeeper: Write(B::swc, 5, v); break;
    case Setting::CmbFormat: Apply_Format(v); break;
  }
  Settle();
  --depth_;
}

void Switch_Bank_Form::Settle() {
  if (changed_since_recompute_ && !hold_) Recompute_Settings();
}

void Switch_Bank_Form::Apply_Format(int format_index) {
  // The row is written as one change.  Recomputing after each of its
  // switches would re-derive the format from a half-written row and let
  // that passing format rewrite switches of its own: choosing "KORV ASCII
  // with space" over "BINARY MENSARO hi res" would end on "KORV ASCII w/o
  // space".
  Hold();
  for (const Format_Write& w : Format_Row(format_index)) Write(w.bank, w.number, w.value);
  Release();
  Settle();
}

void Switch_Bank_Form::Recompute_Settings() {
  if (hold_) return;
  if (depth_ >= Max_Cascade_Depth) return;
  ++depth_;
  if (depth_ > deepest_) deepest_ = depth_;
  changed_since_recompute_ = false;

  // Each step reads the switches as they are at that moment: a box set
  // by an earlier step may have written switches through its handler.
  Show(Setting::CmbBaud, Derive_Baud(banks_));
  Show(Setting::CmbParity, Derive_Parity(banks_));
  Show(Setting::Cmbdatabits, Sw(banks_, B::swa, 7));
  Show(Setting::CmbStopBits, Sw(banks_, B::swa, 6));
  Show(Setting::CmbEmu, Derive_Emulation(banks_));
  Show(Setting::CmbRes, Derive_Resolution(banks_));
  const Format_Choice f = Derive_Format(banks_);
  format_code_ = f.code;
  Show(Setting::CmbFormat, f.format);
  Show(Setting::ChkLF, Sw(banks_, B::swb, 3));
  Show(Setting::CmbMode, Derive_Mode(banks_));
  Show(Setting::ChkEcho, Sw(banks_, B::swc, 3));
  Show(Setting::ChkProx, Sw(banks_, B::swc, 4));
  Show(Setting::ChkBeeper, Sw(banks_, B::swc, 5));
  Build_Image();
  --depth_;
}

void Switch_Bank_Form::Build_Image() {
  format_code_ = Derive_Format(banks_).code;
  const Switch_Image_Bytes image = Encode_Switch_Image(banks_, variant_->image_byte7);
  if (image != image_) {
    image_ = image;
    ++revision_;
  }
}

void Switch_Bank_Form::Load_Factory_Switches() {
  // Written as one change, then recomputed once: the factory pattern lands
  // exactly, whatever the window showed before.
  Switch_Banks target = banks_;
  for (std::size_t bank = 0; bank < 3; ++bank) {
    for (std::size_t n = 0; n < 8; ++n) {
      const int value = variant_->factory[bank][n];
      if (value == Switch_Off || value == Switch_On) target[bank][n] = value;
    }
  }
  Write_Pattern(target);
  Recompute_Settings();
}

void Switch_Bank_Form::Write_Pattern(const Switch_Banks& target) {
  Hold();
  for (int bank = 0; bank < 3; ++bank) {
    for (int n = 1; n <= 8; ++n) {
      Write(static_cast<Bank>(bank), n, target[static_cast<std::size_t>(bank)][static_cast<std::size_t>(n - 1)]);
    }
  }
  Release();
}

void Switch_Bank_Form::Decode_Switch_Report(Session& s, std::string_view reply) {
  const Native_Image r = Parse_Image_Text(reply);
  if (variant_->decode_lines) {
    Log_Line(s, "Last: " + Image_Text(image_));
    Log_Line(s, "Tablet " + Image_Text(r));
  }
  const Decoded_Switches decoded = Decode_Switches(r, banks_);
  // First the switches as choosing the emulation and format leaves them,
  // then the resolution the tablet reports: the format box already shows
  // the decoded format by then, so the resolution does not move it.
  Switch_Banks as_chosen = decoded.banks;
  for (const Format_Write& w : Format_Row(decoded.format)) {
    int& sw = as_chosen[static_cast<std::size_t>(w.bank)][static_cast<std::size_t>(w.number - 1)];
    if (sw != Switch_Absent) sw = w.value;
  }
  Write_Pattern(as_chosen);
  Recompute_Settings();
  Write(B::swb, 6, decoded.banks[static_cast<std::size_t>(B::swb)][5]);
}

Decoded_Switches Decode_Switches(const Native_Image& r, const Switch_Banks& current) {
  const int r1 = r[0], r2 = r[1], r3 = r[2], r4 = r[3], r5 = r[4], r6 = r[5], r7 = r[6];
  Switch_Banks t = current;
  auto set = [&t](Bank bank, int number, int value) {
    int& sw = t[static_cast<std::size_t>(bank)][static_cast<std::size_t>(number - 1)];
    if (sw != Switch_Absent) sw = value;
  };

  set(B::swa, 1, Bit(r3, 3));
  set(B::swa, 2, Bit(r3, 4));
  set(B::swa, 3, Bit(r3, 5));
  set(B::swa, 4, Bit(r3, 0));
  set(B::swa, 5, 1 - Bit(r3, 2));
  set(B::swa, 6, Bit(r6, 4));
  set(B::swa, 7, Bit(r3, 6));
  set(B::swb, 1, 1 - Bit(r6, 3));
  set(B::swb, 2, 1 - Bit(r6, 2));
  set(B::swb, 3, Bit(r3, 7));
  set(B::swb, 4, Bit(r2, 7));
  set(B::swb, 5, Bit(r2, 5));
  set(B::swb, 6, Bit(r2, 6));
  if (r4 >= 128) {
    set(B::swb, 7, 1);
    set(B::swb, 8, 1);
  }
  set(B::swc, 1, Bit(r1, 6));
  set(B::swc, 2, Bit(r1, 7));
  if (Bit(r1, 3)) {  // "Prompt" whatever bits 6 and 7 say
    set(B::swc, 1, 0);
    set(B::swc, 2, 0);
  }
  set(B::swc, 3, Bit(r6, 1));
  set(B::swc, 4, Bit(r4, 4));
  set(B::swc, 5, Bit(r5, 1));
  // swa 8, the binary/ASCII choice, comes with the format below.

  int format = 0;
  int emulation = 0;
  const int code = r2 & 31;
  switch (code) {
    case 31: break;
    case 15:
      format = 1;
      if (Sw(t, B::swb, 1) == 0) format = Sw(t, B::swb, 2) == 1 ? 3 : 2;
      break;
    case 4:
    case 5:
    case 6:
    case 7:
      format = code + 6;
      emulation = 2;
      break;
    case 9:
    case 10:
      format = code == 9 ? 6 : 7;
      emulation = 1;
      set(B::swb, 1, 1 - Bit(r5, 2));
      break;
    case 23:
    case 28:
      if (Bit(r7, 7)) {
        emulation = 1;
        format = Sw(t, B::swb, 6) == 0 ? 5 : 4;
      } else {
        emulation = 2;
        format = Sw(t, B::swb, 6) == 0 ? 9 : 8;
      }
      break;
    case 3:
      format = 15;
      emulation = 3;
      break;
    case 30:
      format = 14;
      emulation = 3;
      break;
    default: break;  // no such format: the first one
  }

  // The emulation box writes its two switches, then the format its row.
  set(B::swb, 8, emulation & 1);
  set(B::swb, 7, (emulation & 2) / 2);
  for (const Format_Write& w : Format_Row(format)) set(w.bank, w.number, w.value);

  // "KORV ASCII with space" and "MENSARO 9100 1" set swb6 when chosen, but
  // the tablet keeps whatever resolution it was given with them; show the
  // resolution it reports rather than one the format row implies.
  set(B::swb, 6, Bit(r2, 6));
  return {t, format, emulation};
}

bool Switch_Bank_Form::Write_Switches(Session& s) {
  busy_ = true;
  ++revision_;
  const bool log_it = variant_->log_always || s.Debug_Mode;
  const int remembered_len = s.port.InputLen();
  bool ok = true;
  try {
    Wait_Tick(s);
    // Empty the input.  Each pass takes everything waiting; the bound only
    // matters against a tablet that never stops talking.
    s.port.Set_InputLen(0);
    for (int guard = 0; guard < 1000 && s.port.InBufferCount() >= 1; ++guard) (void)s.port.Input();
    s.port.Output(Esc_Command("%__S"));
    Wait_Tick(s);
    if (s.port.InBufferCount() >= 1) {
      const std::string reply = s.port.Input();
      if (log_it) Log_Line(s, "From Tablet: " + reply);
    }
    s.port.Output(Esc_Command("%A1"));
    const std::string text = Image_Text(image_);
    if (log_it) Log_Line(s, "Sent: ESC%__s" + text);
    s.port.Output(Esc_Command("%__s" + text));
  } catch (const Port_Error&) {
    ok = false;
  }
  s.port.Set_InputLen(remembered_len);
  busy_ = false;
  ++revision_;
  s.Refresh_Log_View();
  return ok;
}

}  // namespace stylomat
