#pragma once
// Recorded input devices in the text format evemu-record writes: the
// device (N: name, I: bus vendor product version, P: properties, B: event
// bits, A: axes) and then its events (E: sec.usec type code value).  A
// recording comes from outside: every line, number and count is checked,
// and an error names the line.
#include <cstddef>
#include <string>
#include <vector>

#include "wintab/input_device.h"

namespace stylomat {

struct Evemu_Recording {
  Input_Device_Description Device;
  std::vector<Input_Event> Events;  // in the recorded order, times from the first event
};

struct Evemu_Limits {
  std::size_t Max_Bytes = 16u << 20;     // the whole file
  std::size_t Max_Line = 4096;           // one line
  std::size_t Max_Events = 500000;
};

struct Evemu_Result {
  bool ok = false;
  Evemu_Recording recording;
  std::string error;  // "line 12: ..."; empty when ok
};

// Parses a recording's text; `source` names it in the device's Node.
Evemu_Result Parse_Evemu(const std::string& text, const std::string& source, const Evemu_Limits& limits = {});
// Reads and parses a file; errors start with the file's name.
Evemu_Result Read_Evemu_File(const std::string& path, const Evemu_Limits& limits = {});

}  // namespace stylomat
