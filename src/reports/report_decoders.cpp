#include "reports/report_decoders.h"

#include <array>
#include <string_view>

namespace stylomat {

namespace {

// The packet decoders are small and run once per report: the stream
// decoder and each family's entry point take them in whole.
#if defined(__GNUC__)
#define Inline [[gnu::always_inline]] inline
#else
#define Inline inline
#endif

constexpr std::size_t Longest_Packet = 10;

// b[1] is the first byte of a packet, as the report layouts count them.
using Packet = std::array<std::int32_t, Longest_Packet + 1>;

// The common start of every decoder: drop bytes below the sync floor, then
// take one whole packet off the front of the buffer.  A packet cut short is
// left in the buffer for the next call, so is everything when the buffer is
// shorter than a packet to begin with.  The buffer keeps its storage.
bool Take_Packet(std::string& buffer, Packet_Format format, Packet& b) {
  const std::size_t size = buffer.size();
  std::size_t start = 0;
  while (start < size && static_cast<unsigned char>(buffer[start]) < format.sync_floor) {
    ++start;
    if (size - start < format.length) {
      buffer.erase(0, start);
      return false;
    }
  }
  if (size - start < format.length) return false;
  for (std::size_t i = 0; i < format.length; ++i) {
    b[i + 1] = static_cast<unsigned char>(buffer[start + i]);
  }
  buffer.erase(0, start + format.length);
  return true;
}

// The common end of every decoder: the first report after the cursor
// enters proximity starts a new line segment instead of joining the point
// where it left.
void Finish_Report(Current_Report_State& r) {
  if (!r.Prev_Prox) {
    r.Prev_X = r.Cur_X;
    r.Prev_Y = r.Cur_Y;
    r.Prev_Prox = r.In_Prox;
  }
}

// What one decoder call changed: the report before it against the report
// after it.
Report_Change Compare(const Current_Report_State& before, const Current_Report_State& after, bool decoded) {
  Report_Change c;
  if (!decoded) return c;
  c.packets = 1;
  c.position = before.Cur_X != after.Cur_X || before.Cur_Y != after.Cur_Y;
  c.proximity = before.In_Prox != after.In_Prox;
  c.button = before.Button_Code != after.Button_Code;
  c.cursor = before.Cursor_Code != after.Cursor_Code;
  c.pressure = before.Pressure != after.Pressure;
  return c;
}


// The cursor chosen in the cursor box of the KV and UIOF lists; -1 for any
// other text (the prompt, or a name written there by the cursor picture).
int Cursor_From_Box(std::string_view text) {
  if (text == " 2 Button Stylus") return 7;
  if (text == " 3 Button Stylus") return 3;
  if (text == " 4 Button Puck") return 6;
  if (text == " 16 Button Puck") return 5;
  return -1;
}

constexpr int Sixteen_Button_Puck = 5;
constexpr int Sixteen_Button_First_Frame = 15;

// KV and UIOF tablets do not tell their cursor: the box says which it is.
// Buttons 1 to 16 of the 16-button puck become 16 to 31, the frames of its
// picture.
void Apply_Box_Cursor(Report_Decoding_State& state, int button_field) {
  Current_Report_State& r = state.Current_Report;
  const int cursor = Cursor_From_Box(state.Sel_Zelta_Cursor);
  if (cursor >= 0) r.Cursor_Code = cursor;
  if (r.Cursor_Code == Sixteen_Button_Puck && button_field != 0) {
    r.Button_Code = button_field + Sixteen_Button_First_Frame;
  } else {
    r.Button_Code = button_field;
  }
}

// Cursor identity numbers carried in b10 of a SuperSet report.
int Cursor_From_Identity(int identity) {
  switch (identity) {
    case 16: return 4;  // 3 Button Pressure Stylus
    case 18: return 2;  // 4 Button Inline Puck
    case 19: return 0;  // 16 Button Puck
    case 21: return 3;  // 3 Button Stylus
    case 22: return 6;  // 4 Button Diamond Puck
    case 23: return 1;  // 5 Button Mouse
    default: return identity;
  }
}

constexpr int Identity_Marker = 64;       // b4 bit 6
constexpr int Out_Of_Proximity_B4 = 32;   // b4 bit 5
constexpr int Out_Of_Proximity_B1 = 64;   // b1 bit 6 of KV and Plug-and-Play reports
constexpr int High_Button_B1 = 64;        // b1 bit 6 of a SuperSet report: button 16 or more

// Guesses the cursor from the first button press of a tablet that sends no
// identity marker.  prev_prox is the proximity state of the segment start
// before this report updates it.
void Guess_SuperSet_Cursor(Report_Decoding_State& state, const Packet& b, bool prev_prox) {
  Current_Report_State& r = state.Current_Report;
  if (r.Button_Code <= 0) return;
  if (state.Shown_Button != 0 && prev_prox) return;
  if (b[1] & High_Button_B1) {
    r.Cursor_Code = 0;
  } else if (b[7] + b[8] > 0) {
    r.Cursor_Code = 4;
  } else {
    r.Cursor_Code = 2;
  }
}

bool Decode_Five_Byte(Report_Decoding_State& state, Report_Family family, Packet& b) {
  if (!Take_Packet(state.Report_Buffer, Format_Of(family), b)) return false;
  Current_Report_State& r = state.Current_Report;
  r.Cur_X = b[2] + 128 * b[3];
  r.Cur_Y = b[4] + 128 * b[5];
  r.In_Prox = (b[1] & Out_Of_Proximity_B1) == 0;
  return true;
}

}  // namespace

Packet_Format Format_Of(Report_Family family) {
  switch (family) {
    case Report_Family::SuperSet: return {10, 128};
    case Report_Family::KV: return {5, 128};
    case Report_Family::UIOF: return {8, 64};
    case Report_Family::PnP: return {5, 128};
    case Report_Family::Type5: return {10, 128};
  }
  return {Longest_Packet, 128};
}

bool Family_Selected(const Tablet_Identity& id, Report_Family family) {
  switch (family) {
    case Report_Family::SuperSet: return id.SuperSet_Format;
    case Report_Family::KV: return id.KV_Format || id.KV_Alt_Format;
    case Report_Family::UIOF: return id.UIOF_Format;
    case Report_Family::PnP: return id.PnP_Format;
    case Report_Family::Type5: return id.Type5_Format;
  }
  return false;
}

bool Buffer_Holds_Packet(const Tablet_Identity& id, std::size_t byte_count) {
  bool any = false;
  for (Report_Family family : {Report_Family::SuperSet, Report_Family::KV, Report_Family::UIOF, Report_Family::PnP,
                               Report_Family::Type5}) {
    if (!Family_Selected(id, family)) continue;
    if (byte_count < Format_Of(family).length) return false;
    any = true;
  }
  return any;
}

Type5_High_Part Type5_Coordinate_High_Part(unsigned char b1, unsigned char b4) {
  const std::int32_t x = (b1 & 3) + (b4 & 8) / 4 + (b4 & 64) / 8;
  const std::int32_t y = (b4 & 7) + (b4 & 16) / 8;
  return {16384 * x, 16384 * y};
}

namespace {

Inline bool SuperSet_Packet(Report_Decoding_State& state) {
  Packet b{};
  if (!Take_Packet(state.Report_Buffer, Format_Of(Report_Family::SuperSet), b)) return false;
  Current_Report_State& r = state.Current_Report;
  const bool prev_prox = r.Prev_Prox;
  r.Cur_X = b[3] + 128 * b[2] + 16384 * ((b[1] & 3) + (b[4] & 24) / 2);
  r.Cur_Y = b[6] + 128 * b[5] + 16384 * (b[4] & 7);
  r.In_Prox = (b[4] & Out_Of_Proximity_B4) == 0;
  r.Button_Code = (b[1] & 124) / 4;
  r.Pressure = 4 * b[9];
  if (b[4] & Identity_Marker) {
    state.Cursor_Identified = true;
    if (state.Auto_Cursor < 0) {
      // b10 is either the low two pressure bits or the cursor's identity.
      if (b[10] <= 3) {
        r.Pressure += b[10];
      } else {
        r.Cursor_Code = Cursor_From_Identity(b[10]);
      }
    }
  } else if (state.Auto_Cursor < 0 && !state.Cursor_Identified) {
    Guess_SuperSet_Cursor(state, b, prev_prox);
  }
  Finish_Report(r);
  return true;
}

Inline bool KV_Packet(Report_Decoding_State& state) {
  Packet b{};
  if (!Decode_Five_Byte(state, Report_Family::KV, b)) return false;
  Apply_Box_Cursor(state, b[1] & 7);
  Finish_Report(state.Current_Report);
  return true;
}

Inline bool UIOF_Packet(Report_Decoding_State& state) {
  Packet b{};
  if (!Take_Packet(state.Report_Buffer, Format_Of(Report_Family::UIOF), b)) return false;
  Current_Report_State& r = state.Current_Report;
  r.Cur_X = b[3] + 64 * b[4] + 4096 * (b[5] & 15);
  r.Cur_Y = b[6] + 64 * b[7] + 4096 * (b[8] & 15);
  r.In_Prox = (b[1] & 1) == 0;
  Apply_Box_Cursor(state, b[2]);
  Finish_Report(r);
  return true;
}

Inline bool PnP_Packet(Report_Decoding_State& state) {
  Packet b{};
  if (!Decode_Five_Byte(state, Report_Family::PnP, b)) return false;
  Current_Report_State& r = state.Current_Report;
  r.Cursor_Code = 7;  // these tablets have a fixed 2-button stylus
  r.Button_Code = b[1] & 7;
  Finish_Report(r);
  return true;
}

Inline bool Type5_Packet(Report_Decoding_State& state) {
  Packet b{};
  if (!Take_Packet(state.Report_Buffer, Format_Of(Report_Family::Type5), b)) return false;
  Current_Report_State& r = state.Current_Report;
  const Type5_High_Part high =
      Type5_Coordinate_High_Part(static_cast<unsigned char>(b[1]), static_cast<unsigned char>(b[4]));
  r.Cur_X = b[3] + 128 * b[2] + high.x;
  r.Cur_Y = b[6] + 128 * b[5] + high.y;
  r.In_Prox = (b[4] & Out_Of_Proximity_B4) == 0;
  r.Button_Code = (b[1] & 124) / 4;
  Finish_Report(r);
  return true;
}

template <bool (*Decoder)(Report_Decoding_State&)>
Report_Change Decode_With(Report_Decoding_State& state) {
  const Current_Report_State before = state.Current_Report;
  const bool decoded = Decoder(state);
  return Compare(before, state.Current_Report, decoded);
}

}  // namespace

Report_Change Decode_SuperSet_Report(Report_Decoding_State& r) { return Decode_With<SuperSet_Packet>(r); }
Report_Change Decode_KV_Report(Report_Decoding_State& r) { return Decode_With<KV_Packet>(r); }
Report_Change Decode_UIOF_Report(Report_Decoding_State& r) { return Decode_With<UIOF_Packet>(r); }
Report_Change Decode_PnP_Report(Report_Decoding_State& r) { return Decode_With<PnP_Packet>(r); }
Report_Change Decode_Type5_Report(Report_Decoding_State& r) { return Decode_With<Type5_Packet>(r); }

Report_Change Decode_Report(Report_Decoding_State& r, const Tablet_Identity& id) {
  // One look at the report before and after, whatever the decoders did in
  // between: the change costs the same for one family or several.
  const Current_Report_State before = r.Current_Report;
  int packets = 0;
  if (id.SuperSet_Format) packets += SuperSet_Packet(r);
  if (id.KV_Format || id.KV_Alt_Format) packets += KV_Packet(r);
  if (id.UIOF_Format) packets += UIOF_Packet(r);
  if (id.PnP_Format) packets += PnP_Packet(r);
  if (id.Type5_Format) packets += Type5_Packet(r);
  Report_Change change = Compare(before, r.Current_Report, packets > 0);
  change.packets = packets;
  return change;
}

}  // namespace stylomat
