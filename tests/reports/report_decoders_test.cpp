#include "reports/report_decoders.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Report encoders written from the bit layouts of each family.
std::string KV_Packet(int x, int y, int button, bool in_prox) {
  return Bytes({0x80 | (in_prox ? 0 : 0x40) | (button & 7), x & 127, (x >> 7) & 127, y & 127, (y >> 7) & 127});
}

struct SuperSet_Extra {
  bool marker = false;
  int b7 = 0, b8 = 0, b9 = 0, b10 = 0;
};

std::string SuperSet_Packet(int x, int y, int button, bool in_prox, SuperSet_Extra e = {}) {
  return Bytes({0x80 | ((button & 31) << 2) | ((x >> 14) & 3), (x >> 7) & 127, x & 127,
                (e.marker ? 64 : 0) | (in_prox ? 0 : 32) | (((x >> 16) & 3) << 3) | ((y >> 14) & 7), (y >> 7) & 127,
                y & 127, e.b7, e.b8, e.b9, e.b10});
}

std::string UIOF_Packet(int x, int y, int button, bool in_prox) {
  return Bytes({0x40 | (in_prox ? 0 : 1), button, x & 63, (x >> 6) & 63, (x >> 12) & 15, y & 63, (y >> 6) & 63,
                (y >> 12) & 15});
}

bool Same_Report(const Current_Report_State& a, const Current_Report_State& b) {
  return a.Cur_X == b.Cur_X && a.Cur_Y == b.Cur_Y && a.Prev_X == b.Prev_X && a.Prev_Y == b.Prev_Y &&
         a.In_Prox == b.In_Prox && a.Prev_Prox == b.Prev_Prox && a.Button_Code == b.Button_Code &&
         a.Pressure == b.Pressure && a.Cursor_Code == b.Cursor_Code;
}

struct Decoder_Bench : Sim_Bench {
  Report_Decoding_State& reports = session.reports;
  Current_Report_State& report = session.reports.Current_Report;
  std::string& buffer = session.reports.Report_Buffer;
};

TEST(Decode_KV_Report, PositionButtonAndProximityFromTheFiveBytes) {
  Decoder_Bench b;
  b.buffer = Bytes({0x83, 0x68, 0x07, 0x50, 0x0F});
  const Report_Change entering = Decode_KV_Report(b.session.reports);
  EXPECT_EQ(entering.packets, 1);
  EXPECT_TRUE(entering.position && entering.proximity && entering.button);
  EXPECT_FALSE(entering.cursor || entering.pressure);
  EXPECT_EQ(b.report.Cur_X, 1000);
  EXPECT_EQ(b.report.Cur_Y, 2000);
  EXPECT_TRUE(b.report.In_Prox);
  EXPECT_EQ(b.report.Button_Code, 3);
  EXPECT_TRUE(b.buffer.empty());

  // Out of proximity; bytes after b1 are taken whole, top bit included.
  b.buffer = Bytes({0xC0, 0xFF, 0x01, 0x80, 0x7F});
  const Report_Change leaving = Decode_KV_Report(b.session.reports);
  EXPECT_TRUE(leaving.proximity && leaving.position && leaving.button);
  EXPECT_EQ(b.report.Cur_X, 255 + 128);
  EXPECT_EQ(b.report.Cur_Y, 128 + 127 * 128);
  EXPECT_FALSE(b.report.In_Prox);
  EXPECT_EQ(b.report.Button_Code, 0);
}

// One packet per call after skipping to the first sync byte; a decoder
// never reads past the buffer, and what cannot be a whole packet yet stays.
TEST(Decode_KV_Report, SkipsToTheSyncByteTakesOnePacketAndNeverReadsPastTheBuffer) {
  const std::string second = KV_Packet(40, 50, 1, true);
  struct Case {
    std::string buffer;
    bool decoded;
    std::string left;
  };
  for (const Case& c : std::vector<Case>{
           {Bytes({0x07, 0x50, 0x0F}) + KV_Packet(1000, 2000, 2, true) + second, true, second},
           {Bytes({0x10, 0x83, 0x68, 0x07, 0x50}), false, Bytes({0x83, 0x68, 0x07, 0x50})},
           {Bytes({0x83, 0x68}), false, Bytes({0x83, 0x68})},  // called before a whole packet arrived
           {"", false, ""},
           // Nothing but bytes below the sync floor: dropped until less than a packet is left.
           {std::string(12, '\x01'), false, std::string(4, '\x01')}}) {
    Decoder_Bench b;
    b.report.Cur_X = 7;
    b.report.Cursor_Code = 20;
    const Current_Report_State before = b.report;
    b.buffer = c.buffer;

    EXPECT_EQ(static_cast<bool>(Decode_KV_Report(b.session.reports)), c.decoded);

    EXPECT_EQ(b.buffer, c.left);
    if (c.decoded) {
      EXPECT_EQ(b.report.Cur_X, 1000);
      EXPECT_EQ(b.report.Cur_Y, 2000);
      EXPECT_EQ(b.report.Button_Code, 2);
    } else {
      EXPECT_TRUE(Same_Report(b.report, before));
    }
  }
}

TEST(Decode_KV_Report, CursorBoxTextChoosesTheCursorAndSixteenButtonFrames) {
  Decoder_Bench b;
  const auto decode = [&](int button) {
    b.buffer = KV_Packet(10, 20, button, true);
    EXPECT_TRUE(Decode_KV_Report(b.session.reports));
  };
  b.reports.Sel_Zelta_Cursor = " 16 Button Puck";
  decode(0);
  EXPECT_EQ(b.report.Cursor_Code, 5);
  EXPECT_EQ(b.report.Button_Code, 0);
  decode(3);
  EXPECT_EQ(b.report.Button_Code, 18);
  decode(7);
  EXPECT_EQ(b.report.Button_Code, 22);

  // Any other text leaves the cursor as it was, so the frames stay too.
  for (const char* other : {"Select Cursor", "16 Button Puck", " 16 Button Puck ", "Unknown 5"}) {
    b.reports.Sel_Zelta_Cursor = other;
    decode(3);
    EXPECT_EQ(b.report.Cursor_Code, 5) << other;
    EXPECT_EQ(b.report.Button_Code, 18) << other;
  }

  const std::vector<std::pair<std::string, int>> boxes = {
      {" 2 Button Stylus", 7}, {" 3 Button Stylus", 3}, {" 4 Button Puck", 6}};
  for (const auto& [text, code] : boxes) {
    b.reports.Sel_Zelta_Cursor = text;
    decode(3);
    EXPECT_EQ(b.report.Cursor_Code, code) << text;
    EXPECT_EQ(b.report.Button_Code, 3) << text;
  }
}

TEST(Decode_UIOF_Report, EightByteLayoutAndStylusTextFromTheBox) {
  Decoder_Bench b;
  b.reports.Sel_Zelta_Cursor = " 2 Button Stylus";
  // 0x3F is below the UIOF sync floor of 64; the high nibbles of b5 and b8
  // are not coordinate bits.
  b.buffer = Bytes({0x3F, 0x40, 0x05, 0x28, 0x0F, 0xF3, 0x01, 0x02, 0x21});

  EXPECT_TRUE(Decode_UIOF_Report(b.session.reports));

  EXPECT_EQ(b.report.Cur_X, 40 + 64 * 15 + 4096 * 3);
  EXPECT_EQ(b.report.Cur_Y, 1 + 64 * 2 + 4096 * 1);
  EXPECT_TRUE(b.report.In_Prox);
  EXPECT_EQ(b.report.Cursor_Code, 7);
  EXPECT_EQ(b.report.Button_Code, 5);
  EXPECT_TRUE(b.buffer.empty());

  b.reports.Sel_Zelta_Cursor = " 16 Button Puck";
  b.buffer = UIOF_Packet(65535, 12345, 16, false);
  EXPECT_TRUE(Decode_UIOF_Report(b.session.reports));
  EXPECT_EQ(b.report.Cur_X, 65535);
  EXPECT_EQ(b.report.Cur_Y, 12345);
  EXPECT_FALSE(b.report.In_Prox);
  EXPECT_EQ(b.report.Button_Code, 31);
}

TEST(Decode_PnP_Report, FixedStylusButtonAndNoPressure) {
  Decoder_Bench b;
  b.report.Pressure = 99;
  b.reports.Sel_Zelta_Cursor = " 16 Button Puck";  // not read by this decoder
  b.buffer = KV_Packet(800, 900, 2, true);

  EXPECT_TRUE(Decode_PnP_Report(b.session.reports));

  EXPECT_EQ(b.report.Cur_X, 800);
  EXPECT_EQ(b.report.Cur_Y, 900);
  EXPECT_EQ(b.report.Cursor_Code, 7);
  EXPECT_EQ(b.report.Button_Code, 2);
  EXPECT_EQ(b.report.Pressure, 99);
}

TEST(Decode_SuperSet_Report, EighteenBitXSeventeenBitYButtonAndPressure) {
  Decoder_Bench b;
  b.buffer = SuperSet_Packet(200000, 100000, 5, true, {.b9 = 200, .b10 = 3});

  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));

  EXPECT_EQ(b.report.Cur_X, 200000);
  EXPECT_EQ(b.report.Cur_Y, 100000);
  EXPECT_TRUE(b.report.In_Prox);
  EXPECT_EQ(b.report.Button_Code, 5);
  EXPECT_EQ(b.report.Pressure, 800);  // no marker: b10 is not added
  EXPECT_TRUE(b.buffer.empty());

  b.buffer = Bytes({0x80, 0x01, 0x02, 0x20, 0x03, 0x04, 0, 0, 0, 0});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Cur_X, 2 + 128);
  EXPECT_EQ(b.report.Cur_Y, 4 + 3 * 128);
  EXPECT_FALSE(b.report.In_Prox);
}

TEST(Decode_SuperSet_Report, IdentityMarkerAddsLowPressureBitsOrNamesTheCursor) {
  Decoder_Bench b;
  b.reports.Auto_Cursor = -1;
  b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 100, .b10 = 2});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Pressure, 402);
  EXPECT_EQ(b.report.Cursor_Code, -1);
  EXPECT_TRUE(b.reports.Cursor_Identified);

  b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 100, .b10 = 22});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Pressure, 400);
  EXPECT_EQ(b.report.Cursor_Code, 6);

  for (const int low_bits : {0, 1, 3}) {
    b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 255, .b10 = low_bits});
    EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
    EXPECT_EQ(b.report.Pressure, 1020 + low_bits);
    EXPECT_EQ(b.report.Cursor_Code, 6);
  }

  const std::vector<std::pair<int, int>> identities = {{16, 4},   {17, 17}, {18, 2},  {19, 0},  {20, 20},
                                                       {21, 3},   {22, 6},  {23, 1},  {24, 24}, {4, 4},
                                                       {127, 127}, {255, 255}};
  for (const auto& [b10, code] : identities) {
    b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 1, .b10 = b10});
    EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
    EXPECT_EQ(b.report.Cursor_Code, code) << b10;
    EXPECT_EQ(b.report.Pressure, 4) << b10;
  }
}

TEST(Decode_SuperSet_Report, PickedCursorStopsAutomaticIdentification) {
  Decoder_Bench b;
  b.reports.Auto_Cursor = 0;
  b.report.Cursor_Code = 0;
  b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 50, .b10 = 22});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Cursor_Code, 0);
  EXPECT_TRUE(b.reports.Cursor_Identified);

  b.buffer = SuperSet_Packet(10, 10, 0, true, {.marker = true, .b9 = 50, .b10 = 3});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Pressure, 200);

  b.reports.Cursor_Identified = false;
  b.buffer = SuperSet_Packet(10, 10, 4, true, {.b7 = 1});
  EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
  EXPECT_EQ(b.report.Cursor_Code, 0);
}

TEST(Decode_SuperSet_Report, CursorGuessedFromTheFirstButtonWithoutMarker) {
  struct Case {
    int button;
    int b7, b8;
    int shown_button;
    bool prev_prox;
    bool identified;
    int expected;
  };
  const std::vector<Case> cases = {
      {0, 0, 0, 0, false, false, 20},   // no button: no guess
      {2, 0, 0, 0, false, false, 2},    // 4 Button Inline Puck
      {2, 1, 0, 0, true, false, 4},     // b7 + b8 > 0: pressure stylus
      {1, 0, 3, 0, true, false, 4},
      {17, 0, 0, 0, true, false, 0},    // button 16 or more: 16 Button Puck
      {2, 0, 0, 5, true, false, 20},    // a button picture is up and the pen stayed near
      {2, 0, 0, 5, false, false, 2},    // ... but it just came into proximity
      {2, 0, 0, 0, false, true, 20},    // a marker was seen earlier
  };
  for (const Case& c : cases) {
    Decoder_Bench b;
    b.report.Cursor_Code = 20;
    b.report.Prev_Prox = c.prev_prox;
    b.reports.Shown_Button = c.shown_button;
    b.reports.Cursor_Identified = c.identified;
    b.buffer = SuperSet_Packet(10, 10, c.button, true, {.b7 = c.b7, .b8 = c.b8});
    EXPECT_TRUE(Decode_SuperSet_Report(b.session.reports));
    EXPECT_EQ(b.report.Cursor_Code, c.expected) << c.button << " " << c.shown_button << " " << c.prev_prox;
    EXPECT_EQ(b.report.Button_Code, c.button);
  }
}

TEST(Decoders, FirstReportInProximityStartsANewSegment) {
  Decoder_Bench b;
  b.buffer = KV_Packet(100, 200, 0, false) + KV_Packet(300, 400, 0, true) + KV_Packet(500, 600, 0, true);

  EXPECT_TRUE(Decode_KV_Report(b.session.reports));  // out of proximity: follows the pen
  EXPECT_EQ(b.report.Prev_X, 100);
  EXPECT_EQ(b.report.Prev_Y, 200);
  EXPECT_FALSE(b.report.Prev_Prox);

  EXPECT_TRUE(Decode_KV_Report(b.session.reports));  // entering: the segment starts here
  EXPECT_EQ(b.report.Prev_X, 300);
  EXPECT_EQ(b.report.Prev_Y, 400);
  EXPECT_TRUE(b.report.Prev_Prox);

  EXPECT_TRUE(Decode_KV_Report(b.session.reports));  // in proximity: the line drawer moves it
  EXPECT_EQ(b.report.Prev_X, 300);
  EXPECT_EQ(b.report.Cur_X, 500);
}

TEST(Decode_Type5_Report, LowFourteenBitsHighPartButtonAndProximity) {
  Decoder_Bench b;
  b.report.Pressure = 77;
  b.report.Cursor_Code = 3;
  // b1: sync, button 6, X bit 14; b4: X weight bits 3 and 6, Y bits 0..2.
  b.buffer = Bytes({0x80 | (6 << 2) | 1, 0x10, 0x20, 0x08 | 0x40 | 0x05, 0x30, 0x40, 0, 0, 0, 0});

  EXPECT_TRUE(Decode_Type5_Report(b.session.reports));

  EXPECT_EQ(b.report.Cur_X, 0x20 + 128 * 0x10 + 16384 * (1 + 2 + 8));
  EXPECT_EQ(b.report.Cur_Y, 0x40 + 128 * 0x30 + 16384 * 5);
  EXPECT_TRUE(b.report.In_Prox);
  EXPECT_EQ(b.report.Button_Code, 6);
  EXPECT_EQ(b.report.Pressure, 77);
  EXPECT_EQ(b.report.Cursor_Code, 3);

  b.buffer = Bytes({0x80, 0, 0, 0x20 | 0x10, 0, 0, 0, 0, 0, 0});
  EXPECT_TRUE(Decode_Type5_Report(b.session.reports));
  EXPECT_FALSE(b.report.In_Prox);
  EXPECT_EQ(b.report.Cur_Y, 16384 * 2);
}

TEST(Decode_Type5_Report, HighPartWeights) {
  EXPECT_EQ(Type5_Coordinate_High_Part(0, 0).x, 0);
  EXPECT_EQ(Type5_Coordinate_High_Part(3, 0).x, 3 * 16384);
  EXPECT_EQ(Type5_Coordinate_High_Part(0x80, 8).x, 2 * 16384);
  EXPECT_EQ(Type5_Coordinate_High_Part(0, 64).x, 8 * 16384);
  EXPECT_EQ(Type5_Coordinate_High_Part(0, 7).y, 7 * 16384);
  EXPECT_EQ(Type5_Coordinate_High_Part(0, 16).y, 2 * 16384);
  EXPECT_EQ(Type5_Coordinate_High_Part(0, 32).y, 0);  // the proximity bit
}

TEST(Decode_Report, SelectedDecodersRunInFixedOrderEachTakingOnePacket) {
  // SuperSet before Plug-and-Play: the ten-byte packet is taken first.
  Decoder_Bench b;
  b.session.identity.SuperSet_Format = true;
  b.session.identity.PnP_Format = true;
  b.buffer = SuperSet_Packet(1000, 1000, 0, true) + KV_Packet(70, 80, 1, true);
  EXPECT_EQ(Decode_Report(b.session.reports, b.session.identity).packets, 2);
  EXPECT_EQ(b.report.Cur_X, 70);
  EXPECT_EQ(b.report.Cursor_Code, 7);
  EXPECT_TRUE(b.buffer.empty());

  // Both KV flags select one decoder: one packet per call.
  Decoder_Bench kv;
  kv.session.identity.KV_Format = true;
  kv.session.identity.KV_Alt_Format = true;
  kv.buffer = KV_Packet(1, 2, 0, true) + KV_Packet(3, 4, 0, true);
  EXPECT_EQ(Decode_Report(kv.session.reports, kv.session.identity).packets, 1);
  EXPECT_EQ(kv.report.Cur_X, 1);
  EXPECT_EQ(kv.buffer.size(), 5u);

  Decoder_Bench none;
  none.buffer = KV_Packet(1, 2, 0, true);
  EXPECT_EQ(Decode_Report(none.session.reports, none.session.identity).packets, 0);
  EXPECT_EQ(none.buffer.size(), 5u);
}

TEST(Buffer_Holds_Packet, WholePacketOfEverySelectedFamily) {
  Tablet_Identity id;
  EXPECT_FALSE(Buffer_Holds_Packet(id, 100));
  id.KV_Alt_Format = true;
  EXPECT_FALSE(Buffer_Holds_Packet(id, 4));
  EXPECT_TRUE(Buffer_Holds_Packet(id, 5));
  id.UIOF_Format = true;
  EXPECT_FALSE(Buffer_Holds_Packet(id, 7));
  EXPECT_TRUE(Buffer_Holds_Packet(id, 8));
  id = {};
  id.Type5_Format = true;
  EXPECT_FALSE(Buffer_Holds_Packet(id, 9));
  EXPECT_TRUE(Buffer_Holds_Packet(id, 10));
}

TEST(Decoders, BufferKeepsItsStorageWhilePacketsAreTaken) {
  Decoder_Bench b;
  b.session.identity.UIOF_Format = true;
  b.buffer.reserve(4096);
  for (int i = 0; i < 400; ++i) b.buffer += UIOF_Packet(i, 2 * i, 0, true);
  b.buffer += Bytes({0x01, 0x02, 0x40});  // noise and the start of a packet
  const char* storage = b.buffer.data();
  const std::size_t capacity = b.buffer.capacity();

  int decoded = 0;
  while (Buffer_Holds_Packet(b.session.identity, b.session.reports) && Decode_Report(b.session.reports, b.session.identity).packets == 1) ++decoded;

  EXPECT_EQ(decoded, 400);
  EXPECT_EQ(b.report.Cur_X, 399);
  EXPECT_EQ(b.report.Cur_Y, 798);
  EXPECT_EQ(b.buffer, Bytes({0x01, 0x02, 0x40}));
  EXPECT_EQ(b.buffer.data(), storage);
  EXPECT_EQ(b.buffer.capacity(), capacity);
}

}  // namespace
}  // namespace stylomat
