#pragma once
// The tablets of this machine: the input devices udev tags as tablets
// (ID_INPUT_TABLET), read through libevdev.  Both libraries are loaded
// when the driver is first looked for, so the program runs without them
// (it then says that no driver files are present).  Devices are opened
// read-only and non-blocking.
#include <memory>
#include <string>

#include "wintab/input_driver.h"

namespace stylomat {

struct Evdev_Libraries;

// Loads libudev and libevdev; nullptr when either is missing (or the
// program was built without them), with the reason in `why`.
std::shared_ptr<const Evdev_Libraries> Load_Evdev_Libraries(std::string* why = nullptr,
                                                             const char* udev_library = "libudev.so.1",
                                                             const char* evdev_library = "libevdev.so.2");

// What opening an event device gave: the device, or the reason in words
// for the user.
struct Evdev_Open_Result {
  std::unique_ptr<Input_Source> source;
  std::string error;
};
Evdev_Open_Result Open_Evdev_Device(const std::shared_ptr<const Evdev_Libraries>& libraries, const std::string& node,
                                    const std::string& driver = "");
// The words for an open that failed with errno `error_number`; a missing
// permission names the input group.
std::string Open_Error_Text(const std::string& node, int error_number);

// The devices udev tags as tablets, opened.  Loaded only when at least one
// tablet was found; a tablet that could not be opened is named in Problem.
Input_Scan Scan_Evdev_Tablets(const std::shared_ptr<const Evdev_Libraries>& libraries);

}  // namespace stylomat
