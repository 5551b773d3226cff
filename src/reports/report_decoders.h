#pragma once
// Report packet decoders: turn the bytes a tablet streams (during the grid
// test, and the size answer of the SuperSet probe) into the current report (position, proximity, button, pressure,
// cursor type).  One decoder per report family; the report-format flags of
// the tablet identity choose which run.
//
// Each decoder looks at the front of Report_Buffer, drops bytes that cannot
// begin a packet, and takes at most one whole packet.  A packet cut short
// stays in the buffer until the rest arrives.  Nothing is allocated per
// packet: consumed bytes are removed from the front of the buffer in place.
#include <cstddef>
#include <cstdint>

#include "core/report_state.h"
#include "core/tablet_identity.h"

namespace stylomat {

enum class Report_Family { SuperSet, KV, UIOF, PnP, Type5 };

struct Packet_Format {
  std::size_t length;        // bytes per report
  unsigned char sync_floor;  // the first byte of a report is at least this
};

Packet_Format Format_Of(Report_Family family);

// True when the report-format flags select this family.
bool Family_Selected(const Tablet_Identity& id, Report_Family family);

// True when byte_count bytes make a whole packet for every family the flags
// select (and at least one is selected): the moment to call Decode_Report.
bool Buffer_Holds_Packet(const Tablet_Identity& id, std::size_t byte_count);
inline bool Buffer_Holds_Packet(const Tablet_Identity& id, const Report_Decoding_State& r) {
  return Buffer_Holds_Packet(id, r.Report_Buffer.size());
}

// The high part of a Type-5 report's coordinates, above the 14 bits that
// b2/b3 and b5/b6 carry.  The weights of b4 bits 3 and 4 are not settled
// against a tablet whose coordinates pass 16383 counts; this is the one
// place to correct them.
struct Type5_High_Part {
  std::int32_t x;
  std::int32_t y;
};
Type5_High_Part Type5_Coordinate_High_Part(unsigned char b1, unsigned char b4);

// What a decoding call changed in the current report.  The caller decides
// what to show of it (the proximity lamp, the read-outs, a stroke).
// (The flags are bits of one word: the change travels in a register.)
struct Report_Change {
  int packets = 0;             // packets decoded
  bool position : 1 = false;   // Cur_X or Cur_Y moved
  bool proximity : 1 = false;  // In_Prox changed
  bool button : 1 = false;     // Button_Code changed
  bool cursor : 1 = false;     // Cursor_Code changed
  bool pressure : 1 = false;   // Pressure changed
  explicit operator bool() const { return packets > 0; }
};

// Each decoder consumes at most one packet from Report_Buffer and writes
// Current_Report and Cursor_Identified.  Nothing else is touched.
Report_Change Decode_SuperSet_Report(Report_Decoding_State& r);
Report_Change Decode_KV_Report(Report_Decoding_State& r);
Report_Change Decode_UIOF_Report(Report_Decoding_State& r);
Report_Change Decode_PnP_Report(Report_Decoding_State& r);
Report_Change Decode_Type5_Report(Report_Decoding_State& r);

// Runs the selected decoders in the order SuperSet, KV (once, even with
// both KV flags), UIOF, Plug-and-Play, Type-5; `packets` counts the
// packets decoded.
Report_Change Decode_Report(Report_Decoding_State& r, const Tablet_Identity& id);

}  // namespace stylomat
