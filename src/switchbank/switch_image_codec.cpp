#include "switchbank/switch_image_codec.h"

namespace stylomat {

namespace {

using B = Bank;

int Sw(const Switch_Banks& b, Bank bank, int number) { return b[static_cast<int>(bank)][number - 1] == 1 ? 1 : 0; }

int Bit(int v, int n) { return (v >> n) & 1; }

int Derive_Baud(const Switch_Banks& b) { return Sw(b, B::swa, 1) + 2 * Sw(b, B::swa, 2) + 4 * Sw(b, B::swa, 3); }
int Derive_Parity(const Switch_Banks& b) { return Sw(b, B::swa, 4) + 2 * Sw(b, B::swa, 5); }
int Derive_Emulation(const Switch_Banks& b) { return 2 * Sw(b, B::swb, 7) + Sw(b, B::swb, 8); }
int Derive_Resolution(const Switch_Banks& b) {
  return Sw(b, B::swb, 5) + 2 * Sw(b, B::swb, 6) + 4 * Sw(b, B::swb, 4);
}
int Derive_Mode(const Switch_Banks& b) { return Sw(b, B::swc, 1) + 2 * Sw(b, B::swc, 2); }

}  // namespace

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

int Derive_Setting(const Switch_Banks& b, Setting setting) {
  switch (setting) {
    case Setting::CmbBaud: return Derive_Baud(b);
    case Setting::CmbParity: return Derive_Parity(b);
    case Setting::Cmbdatabits: return Sw(b, B::swa, 7);
    case Setting::CmbStopBits: return Sw(b, B::swa, 6);
    case Setting::CmbRes: return Derive_Resolution(b);
    case Setting::CmbEmu: return Derive_Emulation(b);
    case Setting::CmbMode: return Derive_Mode(b);
    case Setting::CmbFormat: return Derive_Format(b).format;
    case Setting::ChkLF: return Sw(b, B::swb, 3);
    case Setting::ChkEcho: return Sw(b, B::swc, 3);
    case Setting::ChkProx: return Sw(b, B::swc, 4);
    case Setting::ChkBeeper: return Sw(b, B::swc, 5);
  }
  return 0;
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

}  // namespace stylomat
