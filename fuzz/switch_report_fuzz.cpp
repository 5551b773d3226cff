// Fuzzes the decoding of a switch-bank tablet's settings reply: whatever
// the tablet sends, the banks stay valid, the boxes and the image follow
// the switches, and the image the switches encode to reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/session.h"
#include "switchbank/switch_bank_form.h"
#include "switchbank/switch_protocol.h"

namespace {

using namespace stylomat;

void Check(bool ok) {
  if (!ok) std::abort();
}

void Check_Form(const Switch_Bank_Form& form) {
  for (int bank = 0; bank < 3; ++bank) {
    for (int n = 1; n <= 8; ++n) {
      const int v = form.Switch(static_cast<Bank>(bank), n);
      const bool absent = bank == 2 && n >= 6;
      Check(absent ? v == Switch_Absent : (v == 0 || v == 1));
    }
  }
  const Derived_Settings d = Derive_Settings(form.Banks());
  Check(form.Value(Setting::CmbBaud) == d.baud);
  Check(form.Value(Setting::CmbParity) == d.parity);
  Check(form.Value(Setting::CmbRes) == d.resolution);
  Check(form.Value(Setting::CmbEmu) == d.emulation);
  Check(form.Value(Setting::CmbFormat) == d.format);
  Check(form.Value(Setting::CmbMode) == d.mode);
  Check(form.Switch_Image() == Encode_Switch_Image(form.Banks(), form.Variant().image_byte7));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The reply is read in place, so a read past its end is caught.
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  for (Config_Window family : {Config_Window::Pv5, Config_Window::VSIII}) {
    Virtual_Clock clock;
    Port_Directory ports;
    Fixed_Prompter prompter;
    Session s(clock, ports, prompter);
    Switch_Bank_Form form(family);
    form.Load_Factory_Switches();
    Decode_Switch_Report(s, form, reply);
    Check_Form(form);
    Check(form.Deepest_Cascade() < 40);

    Switch_Bank_Form again(family);
    again.Load_Factory_Switches();
    Decode_Switch_Report(s, again, form.Switch_Image_Text());
    Check(again.Banks() == form.Banks());
    Check(again.Switch_Image() == form.Switch_Image());
  }
  return 0;
}
