#include "superset/native_image.h"

namespace stylomat {

namespace {

// Bit n of v as 0 or 1.
int Bit(int v, int n) { return (v >> n) & 1; }

int Image_Mode(int i1) {
  const int code = i1 & 0xF0;
  if (code < 0x40) return 1;
  if (code <= 0x70) return 0;
  if (code == 0x80) return 1;
  if (code <= 0xB0) return 3;
  if (code == 0xC0) return 2;
  return 4;
}

int Image_Data_Rate(int i1) {
  static constexpr int rate[8] = {0, 1, 2, 3, 0, 0, 2, 2};
  return rate[i1 & 7];
}

int Image_Resolution(int i2) {
  static constexpr int res[8] = {0, 0, 1, 2, 3, 3, 4, 5};
  return res[(i2 / 32) & 7];
}

// The KORV-style emulations (0 and 4) carry line feed, space and buttons
// in byte 3 bits 2, 1 and 0.
int Korv_Style_Options(int i3, int i6) {
  int b3 = 0;
  b3 |= 4 * Bit(i3, 7);
  b3 |= 2 * Bit(i6, 3);
  b3 |= 1 - Bit(i6, 2);
  return b3;
}

}  // namespace

SuperSet_Bytes Image_To_SuperSet(const Native_Image& image) {
  const int i1 = image[0], i2 = image[1], i3 = image[2], i5 = image[4], i6 = image[5], i7 = image[6];
  int b0 = 0, b1 = 0, b2 = 0, b3 = 0;

  // Serial framing: the tablet counts baud codes one below the list.
  b0 += (((i3 / 8) & 7) + 1) % 8;
  switch (i3 & 7) {
    case 0: b0 += 16; break;  // "Odd "
    case 1: b0 += 48; break;  // "Even"
    default: break;           // "None"
  }
  b0 += 64 * ((i6 / 16) & 1);   // stop bits
  b0 += 128 * ((i3 / 64) & 1);  // data bits

  b1 += Image_Mode(i1);
  b1 += 8 * Image_Data_Rate(i1);
  b1 += 32 * Image_Resolution(i2);

  switch (i7 & 0xE0) {
    case 0x00:  // Mensaro
      b2 += 1;
      if (Bit(i2, 4)) {
        b2 += 64;
      } else {
        b3 += 8 * (i2 & 3);  // the 9100 variant
      }
      b3 += 32 * Bit(i3, 7);
      break;
    case 0x20:  // Zeltavision, or emulation 6 for the special variant
      b2 += Bit(i7, 2) ? 6 : 2;
      if (Bit(i2, 4)) {
        b2 += 64;
      } else if ((i2 & 0x1F) == 2) {
        b2 += 8;
      }
      b3 += 128 * Bit(i3, 7);
      b3 += 64 * (1 - Bit(i6, 2));
      break;
    case 0xC0:
      b2 += 4;
      if (Bit(i2, 4)) b2 += 64;
      b3 += Korv_Style_Options(i3, i6);
      b3 += 8 * Bit(i5, 6);
      break;
    default:  // KORV
      if (Bit(i2, 4)) b2 += 64;
      b3 += Korv_Style_Options(i3, i6);
      break;
  }

  b2 += 16 * (1 - Bit(i5, 2));  // carriage return
  b2 += 128 * Bit(i5, 1);       // alarm
  return {static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2),
          static_cast<std::uint8_t>(b3)};
}

SuperSet_Bytes Image_To_SuperSet(std::string_view reply) { return Image_To_SuperSet(Parse_Image_Text(reply)); }

Native_Image SuperSet_To_Image(const SuperSet_Bytes& record) {
  const int b0 = record[0], b1 = record[1], b2 = record[2], b3 = record[3];
  int i1 = 0, i2 = 0, i3 = 0, i5 = 0, i6 = 0, i7 = 0;
  const int i4 = 0x61;

  i3 += 64 * Bit(b0, 7);
  i6 += 16 * Bit(b0, 6);
  i3 += 4 * (1 - Bit(b0, 4));
  i3 += Bit(b0, 5);
  i3 += 8 * (((b0 & 7) + 7) % 8);

  switch (b1 & 7) {
    case 0: i1 += 64; break;
    case 2: i1 += 192; break;
    case 3: i1 += 176; break;
    case 4: i1 += 240; break;
    default: i1 += 128; break;  // 1, 5, 6, 7
  }
  i1 += (b1 & 24) / 8;

  static constexpr int res_code[8] = {0, 64, 96, 128, 192, 224, 0, 0};
  i2 += res_code[(b1 / 32) & 7];

  i5 += 4 * (1 - Bit(b2, 4));
  i5 += 2 * Bit(b2, 7);
  i6 += 8 * Bit(b3, 1);
  if (Bit(b3, 7) || Bit(b3, 5) || Bit(b3, 2)) i3 += 128;

  // The two Zeltavision ASCII formats want byte 6 bit 3 set.  It is set,
  // not added: bit 3 may already hold the space option, and adding would
  // carry into bit 4 and turn the stop bits over.
  switch (b2 & 0x4F) {
    case 0:  // "KORV ASCII "
      i7 += 128;
      i2 += 9;
      i6 += 4 * (1 - Bit(b3, 0));
      break;
    case 64:  // "KORV BINARY"
      i7 += 128;
      i6 += 4 * (1 - Bit(b3, 0));
      i2 += 24;
      break;
    case 1:  // "Mensaro 9100 1" to "4"
      i2 += 4 + ((b3 / 8) & 3);
      break;
    case 65:  // "Mensaro BINARY"
      i2 += 23;
      break;
    case 2:  // "Zeltavision UIOF ASCII "
      i7 += 32;
      i2 += 15;
      i6 |= 8;
      // Tablet quirk: for this one format the tablet takes the decimal
      // point in byte 6 bit 2 as written here, while every Zeltavision
      // image it reports carries the decimal point inverted in that bit
      // (see Image_To_SuperSet).  A record written and read back in this
      // format therefore comes back with the decimal point flipped.
      i6 += 4 * Bit(b3, 6);
      break;
    case 10:  // "Zeltavision ID ASCII"
      i7 += 32;
      i2 += 2;
      i6 |= 8;
      i6 = (i6 + 4 * Bit(b3, 6)) ^ 4;
      break;
    case 66:  // "Zeltavision UIOF BINARY"
      i7 += 32;
      i2 += 31;
      i6 = (i6 + 4 * Bit(b3, 6)) ^ 4;
      break;
    case 4:
      i7 += 192;
      i2 += 9;
      i5 += 64 * Bit(b3, 3);
      break;
    case 68:
      i7 += 192;
      i2 += 24;
      break;
    case 5:
    case 69:
      i7 += 144;
      i2 += 24;
      break;
    case 6:
    case 70:
      i7 += 36;
      i2 += 31;
      i6 = (i6 + 4 * Bit(b3, 6)) ^ 4;
      break;
    default:
      break;
  }

  return {static_cast<std::uint8_t>(i1), static_cast<std::uint8_t>(i2), static_cast<std::uint8_t>(i3),
          static_cast<std::uint8_t>(i4), static_cast<std::uint8_t>(i5), static_cast<std::uint8_t>(i6),
          static_cast<std::uint8_t>(i7)};
}

}  // namespace stylomat
