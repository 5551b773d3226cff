#include "switchbank/switch_bank_form.h"

namespace stylomat {

namespace {

// The cascade settles after one pass; this bound only protects the stack
// should a future change of the handlers make two of them disagree.
constexpr int Max_Cascade_Depth = 48;

}  // namespace

Switch_Bank_Form::Switch_Bank_Form(Config_Window window) : variant_(&Variant_Of(window)), boxes_(Setting_Boxes()) {
  for (int n = 6; n <= 8; ++n) At(Bank::swc, n) = Switch_Absent;
  Build_Image();
}

int Switch_Bank_Form::Switch(Bank bank, int number) const {
  if (number < 1 || number > 8) return 0;
  return banks_[static_cast<int>(bank)][number - 1];
}

Set_Result Switch_Bank_Form::Set_Switch(Bank bank, int number, int value) {
  if (number < 1 || number > 8) return Set_Result::Refused;
  if (value != Switch_Off && value != Switch_On) return Set_Result::Refused;
  if (At(bank, number) == Switch_Absent) return Set_Result::Refused;
  if (At(bank, number) == value) return Set_Result::Unchanged;
  Write(bank, number, value);
  return Set_Result::Changed;
}

void Switch_Bank_Form::Write(Bank bank, int number, int value) {
  int& sw = At(bank, number);
  if (sw == Switch_Absent || sw == value) return;  // no change
  sw = value;
  changed_since_recompute_ = true;
  Changed();
  if (!hold_) Recompute_Settings();
}

std::string Switch_Bank_Form::Shown(Setting id) const {
  const Setting_Box& box = Box(id);
  if (box.value < 0) return "";
  if (box.Is_Check()) return box.value ? "on" : "off";
  return box.items[static_cast<std::size_t>(box.value)];
}

Set_Result Switch_Bank_Form::Set_Setting(Setting id, int value) {
  const Setting_Box& box = Box(id);
  if (value < 0 || value >= box.Count()) return Set_Result::Refused;
  if (box.value == value) return Set_Result::Unchanged;
  Show(id, value);
  return Set_Result::Changed;
}

void Switch_Bank_Form::Show(Setting id, int value) {
  Setting_Box& box = boxes_[static_cast<int>(id)];
  if (value < 0 || value >= box.Count() || box.value == value) return;
  box.value = value;
  Changed();
  Run_Handler(id, value);
}

void Switch_Bank_Form::Run_Handler(Setting id, int v) {
  if (depth_ >= Max_Cascade_Depth) return;
  ++depth_;
  if (depth_ > deepest_) deepest_ = depth_;
  switch (id) {
    case Setting::CmbBaud:
      Hold();
      Write(Bank::swa, 1, v & 1);
      Write(Bank::swa, 2, (v & 2) / 2);
      Release();
      Write(Bank::swa, 3, (v & 4) / 4);
      break;
    case Setting::CmbParity:
      Hold();
      Write(Bank::swa, 5, (v & 2) / 2);
      Write(Bank::swa, 4, v & 1);
      Release();
      break;
    case Setting::Cmbdatabits: Write(Bank::swa, 7, v); break;
    case Setting::CmbStopBits: Write(Bank::swa, 6, v); break;
    case Setting::CmbRes:
      Hold();
      Write(Bank::swb, 5, v & 1);
      Write(Bank::swb, 6, (v & 2) / 2);
      Release();
      Write(Bank::swb, 4, (v & 4) / 4);
      break;
    case Setting::CmbEmu:
      Hold();
      Write(Bank::swb, 8, v & 1);
      Release();
      Write(Bank::swb, 7, (v & 2) / 2);
      break;
    case Setting::CmbMode:
      Hold();
      Write(Bank::swc, 1, v & 1);
      Release();
      Write(Bank::swc, 2, v / 2);
      break;
    case Setting::ChkLF: Write(Bank::swb, 3, v); break;
    case Setting::ChkEcho: Write(Bank::swc, 3, v); break;
    case Setting::ChkProx: Write(Bank::swc, 4, v); break;
    case Setting::ChkBeeper: Write(Bank::swc, 5, v); break;
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
  for (Setting id : {Setting::CmbBaud, Setting::CmbParity, Setting::Cmbdatabits, Setting::CmbStopBits,
                     Setting::CmbEmu, Setting::CmbRes}) {
    Show(id, Derive_Setting(banks_, id));
  }
  const Format_Choice f = Derive_Format(banks_);
  format_code_ = f.code;
  Show(Setting::CmbFormat, f.format);
  for (Setting id : {Setting::ChkLF, Setting::CmbMode, Setting::ChkEcho, Setting::ChkProx, Setting::ChkBeeper}) {
    Show(id, Derive_Setting(banks_, id));
  }
  Build_Image();
  --depth_;
}

void Switch_Bank_Form::Build_Image() {
  format_code_ = Derive_Format(banks_).code;
  const Switch_Image_Bytes image = Encode_Switch_Image(banks_, variant_->image_byte7);
  if (image != image_) {
    image_ = image;
    Changed();
  }
}

void Switch_Bank_Form::Load_Factory_Switches() {
  // Written as one change, then recomputed once: the factory pattern lands
  // exactly, whatever the window showed before.
  Set_Switch_Pattern(variant_->factory);
}

void Switch_Bank_Form::Set_Switch_Pattern(const Switch_Banks& pattern) {
  Switch_Banks target = banks_;
  for (std::size_t bank = 0; bank < 3; ++bank) {
    for (std::size_t n = 0; n < 8; ++n) {
      const int value = pattern[bank][n];
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

void Switch_Bank_Form::Apply_Tablet_Image(const Native_Image& image) {
  const Decoded_Switches decoded = Decode_Switches(image, banks_);
  // First the switches as choosing the emulation and format leaves them,
  // then the resolution the tablet reports: the format box already shows
  // the decoded format by then, so the resolution does not move it.
  Switch_Banks as_chosen = decoded.banks;
  for (const Format_Write& w : Format_Row(decoded.format)) {
    int& sw = Switch_At(as_chosen, w.bank, w.number);
    if (sw != Switch_Absent) sw = w.value;
  }
  Write_Pattern(as_chosen);
  Recompute_Settings();
  Write(Bank::swb, 6, Switch_At(decoded.banks, Bank::swb, 6));
}

void Switch_Bank_Form::Set_Busy_Pointer(bool on) {
  if (busy_ == on) return;
  busy_ = on;
  Changed();
}

}  // namespace stylomat
