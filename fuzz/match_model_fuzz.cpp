// Arbitrary identification and version answers through the model table,
// the routing table and the found report.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/session.h"
#include "discovery/model_table.h"
#include "discovery/report_found.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stylomat;
  FuzzedDataProvider in(data, size);
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  Tablet_Identity& id = s.identity;
  const std::uint8_t flags = in.ConsumeIntegral<std::uint8_t>();
  id.SuperSet_Format = flags & 1;
  id.Type5_Format = flags & 2;
  id.PnP_Format = flags & 4;
  id.KV_Alt_Format = flags & 8;
  id.Firmware_Reply = in.ConsumeRandomLengthString(64);
  id.Settings_Reply = in.ConsumeRandomLengthString(64);
  id.Size_Text = in.ConsumeRandomLengthString(16);
  id.Product_Reply = in.ConsumeRemainingBytesAsString();
  const std::string raw = id.Product_Reply;

  const std::string name = Model_Name_For(raw, id.Firmware_Reply, id.Type5_Format);
  Match_Model(s);
  Check(id.Model_Name == name);
  Check(id.Product_Reply == name);
  Check(s.main.Tbl.text == name);

  const bool routed = Route_Config(s, flags & 16);
  Check(routed == Config_Window_For(name).has_value());
  Report_Found(s);
  Check(s.main.Config_Tbl.visible == routed);
  Check(!(s.main.Grid_btn.enabled && (id.Size_Text.empty() || id.Size_Text[0] == 'N')));
  return 0;
}
