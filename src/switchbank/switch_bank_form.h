#pragma once
// The switch-bank settings model of the Pallivant V and Velliscope III
// tablets.
//
// These tablets keep their configuration as three banks of eight on/off
// switches, swa, swb and swc.  The configuration window shows the banks and,
// derived from them, one list or check box per setting (baud rate, parity,
// ..., report format).  The two are kept in step by a cascade of change
// handlers, the way the window always worked:
//   - a switch that changes (user click or any operation) recomputes every
//     setting, unless Hold_Recompute is set;
//   - a setting box that changes (user choice or the program setting it)
//     runs its handler, which writes the switches carrying that setting;
//   - writing a switch or a box with the value it already holds is no
//     change and runs nothing.
// A handler that writes several switches holds the recompute over its
// first writes (the baud rate, for example, releases before its third
// switch).  Three rules keep the boxes and the image true to the switches
// after every action:
//   - a report format's row of switches is written as one change;
//   - a handler whose released writes changed nothing, after held writes
//     did change switches, recomputes once at its end;
//   - decoding a tablet's image and loading the factory pattern write
//     their whole pattern as one change, then recompute.
// The tablet reads and writes the banks as a seven-byte image (the same
// text shape as the SuperSet settings image).
//
// The model is free of any window toolkit: a window renders it and
// forwards the user's clicks to Set_Switch and Set_Setting.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "superset/native_image.h"

namespace stylomat {

struct Session;

// The two switch-bank windows.
enum class Switch_Family { Pv5, VSIII };

// What differs between the two families.
struct Switch_Family_Variant {
  Switch_Family family;
  const char* window;   // "Pv5", "VSIII"
  const char* caption;  // the window's caption
  std::uint8_t image_byte7;
  std::array<std::array<int, 8>, 3> factory;  // swa, swb, swc
  bool log_always;       // write and reply logged whatever Debug_Mode says
  bool decode_lines;     // "Last: " and "Tablet " lines on decoding
};

const Switch_Family_Variant& Variant_Of(Switch_Family family);
// "Pv5" / "VSIII" (either case); nothing for any other text.
std::optional<Switch_Family> Parse_Switch_Family(std::string_view name);

enum class Bank { swa = 0, swb = 1, swc = 2 };

inline constexpr int Switch_Off = 0;
inline constexpr int Switch_On = 1;
inline constexpr int Switch_Absent = 2;  // not present: shown greyed, never changed

// The three banks, [bank][switch-1].
using Switch_Banks = std::array<std::array<int, 8>, 3>;

// The setting boxes, in the order the window lists them.
enum class Setting {
  CmbBaud,
  CmbParity,
  Cmbdatabits,
  CmbStopBits,
  CmbRes,
  CmbEmu,
  CmbMode,
  CmbFormat,
  ChkLF,
  ChkEcho,
  ChkProx,
  ChkBeeper,
};
inline constexpr int Setting_Count = 12;

struct Setting_Box {
  Setting id;
  const char* name;     // control name, "CmbBaud"
  const char* caption;  // label as the window shows it, "Ba&ud Rate"
  std::vector<std::string> items;  // empty for a check box
  int value = -1;  // list index or check value; -1 before the first fill

  bool Is_Check() const { return items.empty(); }
  int Count() const { return Is_Check() ? 2 : static_cast<int>(items.size()); }
};

// The switch-bank settings image, image bytes 1 to 7.
using Switch_Image_Bytes = Native_Image;

// What the switches say, derived without touching any box.
struct Derived_Settings {
  int baud = 0, parity = 0, data_bits = 0, stop_bits = 0;
  int emulation = 0, resolution = 0, format = 0, format_code = 31;
  int line_feed = 0, mode = 0, echo = 0, prox = 0, click = 0;
};
Derived_Settings Derive_Settings(const Switch_Banks& banks);
// The image the switches encode to; image byte 7 takes the family constant.
Switch_Image_Bytes Encode_Switch_Image(const Switch_Banks& banks, std::uint8_t byte7_constant);

// Report formats: item texts, and the switches each one sets, in order.
inline constexpr int Format_Count = 16;
struct Format_Write {
  Bank bank;
  int number;  // 1..8
  int value;
};
const std::vector<Format_Write>& Format_Row(int format_index);

// The switches a tablet's image stands for, on top of the current banks
// (not-present switches stay as they are), with the report format and
// emulation it names.  Pure: no box, no log.
struct Decoded_Switches {
  Switch_Banks banks{};
  int format = 0;
  int emulation = 0;
};
Decoded_Switches Decode_Switches(const Native_Image& image, const Switch_Banks& current);

class Switch_Bank_Form {
 public:
  explicit Switch_Bank_Form(Switch_Family family);

  Switch_Family Family() const { return variant_->family; }
  const Switch_Family_Variant& Variant() const { return *variant_; }

  // ---- switches ----
  // 0, 1 or 2 (not present); 0 for a number outside 1..8.
  int Switch(Bank bank, int number) const;
  const Switch_Banks& Banks() const { return banks_; }
  // A switch written by the user or by an operation.  Values other than 0
  // and 1, numbers outside 1..8 and not-present switches are ignored.
  // Returns true when the switch changed.
  bool Set_Switch(Bank bank, int number, int value);

  // ---- settings ----
  const Setting_Box& Box(Setting id) const { return boxes_[static_cast<int>(id)]; }
  int Value(Setting id) const { return Box(id).value; }
  // The item text shown, "on"/"off" for a check box, "" before the first fill.
  std::string Shown(Setting id) const;
  // A box changed by the user or by the program: runs the box's handler
  // when the value differs.  Values outside the box's items are ignored.
  // Returns true when the box changed.
  bool Set_Setting(Setting id, int value);

  bool Hold_Recompute() const { return hold_; }
  void Set_Hold_Recompute(bool on) { hold_ = on; }

  // ---- operations ----
  void Recompute_Settings();
  void Apply_Format(int format_index);
  void Decode_Switch_Report(Session& s, std::string_view reply);
  void Load_Factory_Switches();
  // Sends the image to the tablet.  False when the port failed on the way
  // (the rest of the write is skipped; the pointer is restored).
  bool Write_Switches(Session& s);

  const Switch_Image_Bytes& Switch_Image() const { return image_; }
  std::string Switch_Image_Text() const { return Image_Text(image_); }
  int Format_Code() const { return format_code_; }

  // True while Write_Switches runs (the busy pointer).
  bool Busy_Pointer() const { return busy_; }
  // Grows on every change of a switch, box or the image; a view redraws
  // when it moved.
  std::uint64_t Revision() const { return revision_; }
  // Deepest nesting of the change cascade so far (for diagnostics).
  int Deepest_Cascade() const { return deepest_; }

  // Called on every switch change, before the settings are recomputed;
  // held tells whether Hold_Recompute was set at that moment.  A view can
  // repaint just that switch.
  std::function<void(Bank bank, int number, int value, bool held)> On_Switch_Change;

 private:
  int& At(Bank bank, int number) { return banks_[static_cast<int>(bank)][number - 1]; }
  // Writes a switch as the handlers and operations do.
  void Write(Bank bank, int number, int value);
  // Sets a box from the program; runs its handler when it changed.
  void Show(Setting id, int value);
  void Run_Handler(Setting id, int v);
  // Writes every switch of a pattern under hold (no recompute in between).
  void Write_Pattern(const Switch_Banks& target);
  void Hold() { hold_ = true; }
  void Release() { hold_ = false; }
  // A handler that released its hold with switches changed under it, but
  // whose last write changed nothing, leaves the boxes behind the switches;
  // bring them up to date once the handler is done.
  void Settle();
  void Build_Image();

  const Switch_Family_Variant* variant_;
  Switch_Banks banks_{};
  std::array<Setting_Box, Setting_Count> boxes_;
  Switch_Image_Bytes image_{};
  int format_code_ = 31;
  bool hold_ = false;
  bool changed_since_recompute_ = false;
  bool busy_ = false;
  int depth_ = 0;
  int deepest_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace stylomat
