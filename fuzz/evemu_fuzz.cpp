// Arbitrary recordings through the parser, and those it takes through the
// driver: its answers, a context and the packets of every event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "wintab/evemu_recording.h"
#include "wintab/input_driver.h"
#include "wintab/recorded_source.h"

namespace {

using namespace stylomat;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Window : Wintab_Message_Window {
  std::intptr_t Send_Message(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Evemu_Limits limits;
  limits.Max_Events = 2000;
  const Evemu_Result r = Parse_Evemu(std::string(reinterpret_cast<const char*>(data), size), "fuzz.evemu", limits);
  Check(r.ok == r.error.empty());
  if (!r.ok) return 0;
  Virtual_Clock clock;
  Input_Driver_Config config;
  config.Scan = [&] { return Scan_Recordings(clock, {r.recording}); };
  Input_Wintab_Driver driver(clock, std::move(config));
  Check(driver.Load());
  std::uint8_t buffer[255];
  for (unsigned category : {1u, 3u, 4u, 100u, 200u, 201u}) {
    for (unsigned index = 0; index < 40; ++index) (void)driver.WTInfo(category, index, buffer);
  }
  if (driver.Device_Count() == 0) return 0;
  Window window;
  const Wintab_Handle h = driver.WTOpen(window, driver.Default_Context(0), true);
  Check(h != 0);
  Wintab_Packet packets[64];
  for (int pass = 0; pass < 8; ++pass) {
    clock.Advance(0.5);
    Check(driver.WTPacketsGet(h, packets) <= 64);
    driver.Dispatch_Messages();
  }
  return 0;
}
