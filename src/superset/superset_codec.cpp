#include "superset/superset_codec.h"

namespace stylomat {

namespace {

bool Binary_Format(int format) { return format == 0 || format == 2 || format == 7; }

}  // namespace

Emulation_Group Group_Of_Emulation(int emulation) {
  if (emulation == 1) return Emulation_Group::Mensaro;
  if (emulation == 2 || emulation == 6) return Emulation_Group::Zeltavision;
  return Emulation_Group::KORV;
}

int Record_Format(const SuperSet_Record& record, Emulation_Group group) {
  const int b2 = record[2];
  const int b3 = record[3];
  // Format bit A (b2 bit 6) set means the binary format of the group.
  const int base = ((b2 / 64) & 1) ^ 1;
  switch (group) {
    case Emulation_Group::Mensaro: return base + 2 + ((b3 / 8) & 3);
    case Emulation_Group::Zeltavision: return base + 7 + ((b2 / 8) & 1);
    case Emulation_Group::KORV: break;
  }
  return base;
}

Decoded_Record Decode_Record(const SuperSet_Record& record, bool korv) {
  const int b0 = record[0];
  const int b1 = record[1];
  const int b2 = record[2];
  const int b3 = record[3];
  Decoded_Record d;
  SuperSet_Settings& s = d.settings;
  s.baud = b0 & 7;
  d.byte0_bit3 = korv ? (b0 & 8) / 8 : 0;
  s.parity = (b0 / 16) & 3;
  if (s.parity == 3) s.parity = 2;
  s.data_bits = (b0 / 128) & 1;
  s.stop_bits = (b0 / 64) & 1;
  s.mode = b1 & 7;
  s.data_rate = (b1 / 8) & 3;
  s.resolution = b1 / 32;
  s.emulation = b2 & 7;
  s.carriage_return = (b2 / 16) & 1;
  s.origin_lamp = korv ? (b2 / 32) & 1 : 0;
  s.alarm = (b2 / 128) & 1;
  s.line_feed = (b3 & (128 | 32 | 4)) != 0 ? 1 : 0;
  s.buttons = b3 & 1;
  s.space = (b3 / 2) & 1;
  s.decimal_point = (b3 / 64) & 1;
  s.format = Record_Format(record, Group_Of_Emulation(s.emulation));
  return d;
}

SuperSet_Record Encode_Record(const SuperSet_Settings& s, int byte0_bit3, bool korv) {
  int b0 = s.baud + 8 * byte0_bit3 + 16 * s.parity + 128 * s.data_bits + 64 * s.stop_bits;
  if (s.parity == 2) b0 += 16;
  const int b1 = s.mode + 8 * s.data_rate + 32 * s.resolution;
  int b2 = s.emulation + 16 * s.carriage_return + 128 * s.alarm;
  if (korv) b2 += 32 * s.origin_lamp;
  int b3 = s.buttons + 2 * s.space + 64 * s.decimal_point;
  if (s.line_feed == 1) {
    // Each emulation group keeps its line feed in a bit of its own.
    switch (Group_Of_Emulation(s.emulation)) {
      case Emulation_Group::KORV: b3 += 4; break;
      case Emulation_Group::Mensaro: b3 += 32; break;
      case Emulation_Group::Zeltavision: b3 += 128; break;
    }
  }
  if (Binary_Format(s.format)) b2 += 64;
  if (s.format >= 3 && s.format <= 6) b3 += 8 * (s.format - 3);
  if (s.format == 9) b2 += 8;
  return {static_cast<std::uint8_t>(b0 & 0xFF), static_cast<std::uint8_t>(b1 & 0xFF),
          static_cast<std::uint8_t>(b2 & 0xFF), static_cast<std::uint8_t>(b3 & 0xFF)};
}

}  // namespace stylomat
