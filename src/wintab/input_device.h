#pragma once
// A kernel input device as the tablet driver sees it, and how the driver
// maps it onto its answers: the X, Y and pressure axes, one cursor per
// tool, the buttons of each tool as bits of a mask, and the packets made
// from each event frame.  Pure functions and plain data: the live devices
// (evdev_source) and the recorded ones (recorded_source) describe
// themselves with an Input_Device_Description and feed their events into
// an Input_Frame_Builder.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/wintab_api.h"

namespace stylomat {

// One axis as the kernel describes it (struct input_absinfo).
struct Input_Absinfo {
  std::int32_t value = 0;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t fuzz = 0;
  std::int32_t flat = 0;
  std::int32_t resolution = 0;  // units per millimetre for X and Y
};

struct Input_Device_Description {
  std::string Name;
  std::uint16_t Bustype = 0, Vendor = 0, Product = 0, Version = 0;
  std::string Node;    // "/dev/input/event5", or the recording's file
  std::string Driver;  // the kernel driver behind it, "usbhid"; or "recording"
  std::set<unsigned> Event_Types;
  std::set<unsigned> Keys;        // EV_KEY codes it has
  std::map<unsigned, Input_Absinfo> Abs;  // EV_ABS codes it has
  std::set<unsigned> Properties;
};

// One kernel event.
struct Input_Event {
  std::int64_t Micros = 0;  // time stamp, microseconds
  std::uint16_t Type = 0;
  std::uint16_t Code = 0;
  std::int32_t Value = 0;
};

// A tool of the device: one Wintab cursor.
struct Input_Tool {
  unsigned Code = 0;  // BTN_TOOL_PEN ...; 0 for a device that names no tool
  std::string Name;   // the cursor's name
  std::vector<unsigned> Buttons;  // button k is bit k of the packet's mask
  bool Pressure_Button = false;   // its tip is read by pressure
};

// The device as the driver answers for it.
struct Input_Device_Model {
  std::string Device_Name;  // "name;Version v;Format: ..."
  Wintab_Axis X, Y;
  std::optional<Wintab_Axis> Z;
  Wintab_Axis Pressure;
  bool Has_Pressure = false;
  std::vector<Input_Tool> Tools;
};

// X or Y: the kernel's minimum and maximum; its resolution in units per
// millimetre answered in Centimeters as 16.16 fixed point (10 units per
// millimetre are 10 * 65536 ... per centimetre); no resolution gives units
// NONE and resolution 0.
Wintab_Axis Map_Position_Axis(const Input_Absinfo& abs);
// Pressure: 0 to maximum - minimum (packets count from the minimum), no units.
Wintab_Axis Map_Pressure_Axis(const Input_Absinfo& abs);
// The buttons a tool uses, in bit order: a pen-like tool the tip and the
// barrel buttons, a mouse or lens the mouse buttons then BTN_0..BTN_9;
// only those the device has.
std::vector<unsigned> Tool_Buttons(const Input_Device_Description& d, unsigned tool_code);
// One cursor per tool the device has, in the order pen, eraser, brush,
// pencil, airbrush, mouse, lens; a device that names no tool gets one
// cursor, a pen when it has a tip or barrel button, a mouse otherwise.
std::vector<Input_Tool> Map_Tools(const Input_Device_Description& d);
// The button mask of a tool from the buttons held down.
std::uint32_t Button_Mask(const Input_Tool& tool, const std::set<unsigned>& keys_down);
// "1.10" for version 0x0110: the high byte, ".", the low byte in two hex digits.
std::string Device_Version_Text(std::uint16_t version);
// The device name text: the name (";" made ",") then "Version" with the
// device's version and "Format: " with the event device and its driver.
std::string Device_Name_Text(const Input_Device_Description& d);
// Everything the driver answers for the device.  A device without X or Y
// is no tablet: nothing.
std::optional<Input_Device_Model> Map_Device(const Input_Device_Description& d);

// What one event frame (the events up to SYN_REPORT) made.
struct Frame_Result {
  bool Packet = false;  // a packet was made
  bool Left_Proximity = false;  // the tool in use went away
  int Tool = -1;  // index into the model's tools
  std::uint32_t Buttons = 0;
  std::int32_t X = 0, Y = 0, Pressure = 0;  // raw kernel values
};

// Follows the device's state through its events and makes one result per
// frame that changed anything: a tool in proximity gives a packet; the tool
// leaving gives a last packet out of proximity and the leave.
class Input_Frame_Builder {
 public:
  explicit Input_Frame_Builder(const Input_Device_Model& model, const Input_Device_Description& d);

  // Feeds one event; a SYN_REPORT returns what its frame made.  After a
  // SYN_DROPPED the events up to the next SYN_REPORT are dropped.
  std::optional<Frame_Result> Feed(const Input_Event& e);
  // Every tool away from the tablet (a recording starting over): the
  // leave of the tool in use, if any.
  std::optional<Frame_Result> Release_All();

 private:
  Frame_Result Current(bool in_proximity) const;

  std::vector<Input_Tool> tools_;
  std::int32_t x_ = 0, y_ = 0, pressure_ = 0, pressure_min_ = 0;
  std::set<unsigned> keys_down_;
  std::vector<bool> tool_down_;
  int tool_ = -1;       // tool in use, -1 none
  int shown_tool_ = -1; // tool of the last packet in proximity
  bool implicit_tool_;  // the device names no tool: its one cursor is always near
  bool changed_ = false;
  bool dropping_ = false;
};

}  // namespace stylomat
