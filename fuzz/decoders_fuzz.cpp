// Feeds arbitrary report streams to the packet decoders, in arbitrary
// chunks, with arbitrary format flags and cursor state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/session.h"
#include "reports/report_decoders.h"

namespace {

using namespace stylomat;

const char* const Box_Texts[] = {"Select Cursor", " 2 Button Stylus", " 3 Button Stylus", " 4 Button Puck",
                                 " 16 Button Puck", "Unknown 5"};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Virtual_Clock clock;
  static Port_Directory ports;
  static Fixed_Prompter prompter;
  static Session s(clock, ports, prompter);
  if (size < 3) return 0;

  s.identity = Tablet_Identity{};
  s.reports = Report_Decoding_State{};
  Tablet_Identity& id = s.identity;
  const std::uint8_t flags = data[0];
  id.SuperSet_Format = flags & 1;
  id.KV_Format = flags & 2;
  id.KV_Alt_Format = flags & 4;
  id.UIOF_Format = flags & 8;
  id.PnP_Format = flags & 16;
  id.Type5_Format = flags & 32;
  const std::uint8_t cursor = data[1];
  s.reports.Auto_Cursor = (cursor & 1) ? (cursor >> 5) : -1;
  s.reports.Cursor_Identified = cursor & 2;
  s.reports.Shown_Button = (cursor >> 2) & 3;
  s.reports.Sel_Zelta_Cursor = Box_Texts[(cursor >> 4) % (sizeof Box_Texts / sizeof Box_Texts[0])];
  const std::size_t chunk = 1 + data[2] % 32;

  std::string& buffer = s.reports.Report_Buffer;
  for (std::size_t at = 3; at < size; at += chunk) {
    const std::size_t n = size - at < chunk ? size - at : chunk;
    buffer.append(reinterpret_cast<const char*>(data + at), n);
    // Bounded: every call that decodes nothing leaves less than a packet.
    for (int guard = 0; Buffer_Holds_Packet(s.identity, s.reports) && guard < 100000; ++guard) {
      const std::size_t before = buffer.size();
      if (Decode_Report(s.reports, s.identity).packets == 0) {
        Check(!Buffer_Holds_Packet(s.identity, s.reports));
        break;
      }
      Check(buffer.size() < before);
      const Current_Report_State& r = s.reports.Current_Report;
      Check(r.Cur_X >= 0 && r.Cur_Y >= 0 && r.Cur_X < (1 << 19) && r.Cur_Y < (1 << 19));
    }
  }
  // Decoders called on whatever is left never read past it.
  Decode_SuperSet_Report(s.reports);
  Decode_KV_Report(s.reports);
  Decode_UIOF_Report(s.reports);
  Decode_PnP_Report(s.reports);
  Decode_Type5_Report(s.reports);
  return 0;
}
