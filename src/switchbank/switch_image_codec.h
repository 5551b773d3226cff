#pragma once
// The switch-bank codec: what the three switch banks say (each setting box's
// value), the seven-byte settings image they encode to, and the switches a
// tablet's image stands for.  Pure functions: no form, no session, no log.
#include <cstdint>

#include "serial/settings_image.h"
#include "switchbank/switch_tables.h"

namespace stylomat {

// The switch-bank settings image, image bytes 1 to 7.
using Switch_Image_Bytes = Native_Image;

// The value the switches give one setting box: a list index, or 0/1 for a
// check box.  For CmbFormat, the format index (see Derive_Format).
int Derive_Setting(const Switch_Banks& banks, Setting setting);

// The report format the switches select, by emulation, and the format code
// the image carries for it.
struct Format_Choice {
  int format = 0;
  int code = 31;
};
Format_Choice Derive_Format(const Switch_Banks& banks);

// Every setting at once.
struct Derived_Settings {
  int baud = 0, parity = 0, data_bits = 0, stop_bits = 0;
  int emulation = 0, resolution = 0, format = 0, format_code = 31;
  int line_feed = 0, mode = 0, echo = 0, prox = 0, click = 0;
};
Derived_Settings Derive_Settings(const Switch_Banks& banks);

// The image the switches encode to; image byte 7 takes the family constant.
Switch_Image_Bytes Encode_Switch_Image(const Switch_Banks& banks, std::uint8_t byte7_constant);

// The switches a tablet's image stands for, on top of the current banks
// (not-present switches stay as they are), with the report format and
// emulation it names.
struct Decoded_Switches {
  Switch_Banks banks{};
  int format = 0;
  int emulation = 0;
};
Decoded_Switches Decode_Switches(const Native_Image& image, const Switch_Banks& current);

}  // namespace stylomat
