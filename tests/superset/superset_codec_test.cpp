// The SuperSet record's bit packing, pinned by literal records: what each
// byte says, and the record a set of box values gives back.
#include "superset/superset_codec.h"

#include <gtest/gtest.h>

#include <array>

namespace stylomat {
namespace {

using G = Emulation_Group;

// baud, parity, data, stop, mode, rate, res, emu, format, CR, LF, sp, dp, buttons, alarm, origin/lamp
using Fields = std::array<int, 16>;

Fields Of(const SuperSet_Settings& s) {
  return {s.baud,          s.parity,    s.data_bits, s.stop_bits,       s.mode,      s.data_rate,
          s.resolution,    s.emulation, s.format,    s.carriage_return, s.line_feed, s.space,
          s.decimal_point, s.buttons,   s.alarm,     s.origin_lamp};
}

TEST(SuperSetCodec, MensaroExampleDecodesAndEncodesWithTheMensaroLineFeedBit) {
  const Decoded_Record d = Decode_Record({0x32, 0x40, 0x51, 0x07}, true);
  // 9600, parity bits 3 = "Even", 7 data bits, 1 stop bit, Point, 12 pps,
  // 1000 lpi, Mensaro BINARY, CR, LF (KORV's bit 2), space and buttons.
  EXPECT_EQ(Of(d.settings), (Fields{2, 2, 0, 0, 0, 0, 2, 1, 2, 1, 1, 1, 0, 1, 0, 0}));
  EXPECT_EQ(d.byte0_bit3, 0);
  // Written back the line feed moves to the Mensaro group's bit 5.
  EXPECT_EQ(Encode_Record(d.settings, 0, true), (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
}

TEST(SuperSetCodec, ParityBitsTwoAndThreeAreBothEvenAndEvenIsWrittenAsThree) {
  EXPECT_EQ(Decode_Record({0x20, 0, 0, 0}, false).settings.parity, 2);
  EXPECT_EQ(Decode_Record({0x30, 0, 0, 0}, false).settings.parity, 2);
  EXPECT_EQ(Decode_Record({0x10, 0, 0, 0}, false).settings.parity, 1);
  SuperSet_Settings s;
  s.parity = 2;
  EXPECT_EQ(Encode_Record(s, 0, false)[0], 0x30);
  s.parity = 1;
  EXPECT_EQ(Encode_Record(s, 0, false)[0], 0x10);
}

TEST(SuperSetCodec, OriginLampAndByteZeroBitThreeAreKorvFormOnly) {
  const SuperSet_Record r = {0x3A, 0x40, 0x71, 0x07};
  const Decoded_Record korv = Decode_Record(r, true);
  EXPECT_EQ(korv.settings.origin_lamp, 1);
  EXPECT_EQ(korv.byte0_bit3, 1);
  EXPECT_EQ(Encode_Record(korv.settings, korv.byte0_bit3, true), (SuperSet_Record{0x3A, 0x40, 0x71, 0x23}));
  const Decoded_Record other = Decode_Record(r, false);
  EXPECT_EQ(other.settings.origin_lamp, 0);
  EXPECT_EQ(other.byte0_bit3, 0);
  // Outside KORV_form a set origin/lamp value never reaches the record.
  EXPECT_EQ(Encode_Record(korv.settings, 0, false), (SuperSet_Record{0x32, 0x40, 0x51, 0x23}));
}

TEST(SuperSetCodec, EachGroupReadsItsFormatFromItsOwnBits) {
  EXPECT_EQ(Group_Of_Emulation(0), G::KORV);
  EXPECT_EQ(Group_Of_Emulation(1), G::Mensaro);
  EXPECT_EQ(Group_Of_Emulation(2), G::Zeltavision);
  for (int e : {3, 4, 5, 7}) EXPECT_EQ(Group_Of_Emulation(e), G::KORV) << e;
  EXPECT_EQ(Group_Of_Emulation(6), G::Zeltavision);

  const struct {
    std::uint8_t b2, b3;
    G group;
    int format;
  } cases[] = {
      {0x40, 0x00, G::KORV, 0},        {0x00, 0x18, G::KORV, 1},        {0x48, 0x00, G::KORV, 0},
      {0x41, 0x00, G::Mensaro, 2},     {0x01, 0x00, G::Mensaro, 3},     {0x01, 0x18, G::Mensaro, 6},
      {0x41, 0x08, G::Mensaro, 3},     {0x42, 0x00, G::Zeltavision, 7}, {0x02, 0x00, G::Zeltavision, 8},
      {0x0A, 0x00, G::Zeltavision, 9}, {0x4A, 0x00, G::Zeltavision, 8},
  };
  for (const auto& c : cases) EXPECT_EQ(Record_Format({0, 0, c.b2, c.b3}, c.group), c.format) << int(c.b2);
}

TEST(SuperSetCodec, EachEmulationGroupKeepsFormatAndLineFeedInItsOwnBits) {
  const struct {
    int emulation, format;
    SuperSet_Record record;  // the line feed set, nothing else
  } cases[] = {
      {0, 0, {0, 0, 0x40, 0x04}}, {0, 1, {0, 0, 0x00, 0x04}}, {5, 1, {0, 0, 0x05, 0x04}},
      {1, 2, {0, 0, 0x41, 0x20}}, {1, 5, {0, 0, 0x01, 0x30}}, {1, 6, {0, 0, 0x01, 0x38}},
      {2, 8, {0, 0, 0x02, 0x80}}, {2, 9, {0, 0, 0x0A, 0x80}}, {6, 7, {0, 0, 0x46, 0x80}},
  };
  for (const auto& c : cases) {
    SuperSet_Settings s;
    s.emulation = c.emulation;
    s.format = c.format;
    s.line_feed = 1;
    EXPECT_EQ(Encode_Record(s, 0, true), c.record) << c.emulation << "/" << c.format;
    EXPECT_EQ(Of(Decode_Record(c.record, true).settings), Of(s)) << c.emulation << "/" << c.format;
  }
  // Any of the three line-feed bits reads as a line feed.
  for (std::uint8_t b3 : {0x04, 0x20, 0x80}) EXPECT_EQ(Decode_Record({0, 0, 0, b3}, true).settings.line_feed, 1);
}

TEST(SuperSetCodec, EveryFieldHasItsOwnBits) {
  // 19200 (7), 8 data bits, 2 stop bits, mode 4, rate 3, resolution 6, KORV ASCII.
  const SuperSet_Record framing = {0xC7, 0xDC, 0x00, 0x00};
  EXPECT_EQ(Of(Decode_Record(framing, true).settings), (Fields{7, 0, 1, 1, 4, 3, 6, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  // CR, space, decimal point, buttons, alarm and origin/lamp.
  const SuperSet_Record options = {0x00, 0x00, 0xB0, 0x43};
  EXPECT_EQ(Of(Decode_Record(options, true).settings), (Fields{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1}));
  for (const SuperSet_Record& r : {framing, options})
    EXPECT_EQ(Encode_Record(Decode_Record(r, true).settings, 0, true), r);
}

}  // namespace
}  // namespace stylomat
