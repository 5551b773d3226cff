#pragma once
// The two translations between a settings image and a four-byte SuperSet
// record, as the Mirolex and Dovrane windows use them.  Pure functions: no
// session, no port, no log.
#include <array>
#include <cstdint>
#include <string_view>

#include "serial/settings_image.h"

namespace stylomat {

// A SuperSet record, bytes 0 to 3 (the same type as SuperSet_Record).
using SuperSet_Bytes = std::array<std::uint8_t, 4>;

// A tablet's settings image as the SuperSet record the configuration
// window shows.  Unknown codes fold into the nearest meaning; every input
// gives a record.
SuperSet_Bytes Image_To_SuperSet(const Native_Image& image);
// The same, straight from the reply text (see Image_Field).
SuperSet_Bytes Image_To_SuperSet(std::string_view reply);

// A SuperSet record as the settings image the tablet takes.
Native_Image SuperSet_To_Image(const SuperSet_Bytes& record);

}  // namespace stylomat
