#pragma once
// The switch-bank settings form of the Pallivant V and Velliscope III
// windows: the three switch banks and, derived from them, one list or check
// box per setting (baud rate, parity, ..., report format), kept in step by
// a cascade of change handlers, the way the window always worked:
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
//   - applying a tablet's image and loading the factory pattern write
//     their whole pattern as one change, then recompute.
// The tablet reads and writes the banks as a seven-byte image
// (switch_image_codec); the exchange with the tablet is switch_protocol.
//
// The model is free of any window toolkit: a window renders it and
// forwards the user's clicks to Set_Switch and Set_Setting.
#include <array>
#include <cstdint>
#include <string>

#include "core/config_windows.h"
#include "core/form_changes.h"
#include "switchbank/switch_image_codec.h"
#include "switchbank/switch_tables.h"

namespace stylomat {

class Switch_Bank_Form : public Form_Changes {
 public:
  // window: Pv5 or VSIII (any other window is served as Pv5).
  explicit Switch_Bank_Form(Config_Window window);

  Config_Window Window() const { return variant_->window; }
  const Switch_Family_Variant& Variant() const { return *variant_; }

  // ---- switches ----
  // 0, 1 or 2 (not present); 0 for a number outside 1..8.
  int Switch(Bank bank, int number) const;
  const Switch_Banks& Banks() const { return banks_; }
  // A switch written by the user or by an operation.  Values other than 0
  // and 1, numbers outside 1..8 and not-present switches are refused.
  Set_Result Set_Switch(Bank bank, int number, int value);

  // ---- settings ----
  const Setting_Box& Box(Setting id) const { return boxes_[static_cast<int>(id)]; }
  int Value(Setting id) const { return Box(id).value; }
  // The item text shown, "on"/"off" for a check box, "" before the first fill.
  std::string Shown(Setting id) const;
  // A box changed by the user or by the program: runs the box's handler
  // when the value differs.  Values outside the box's items are refused.
  Set_Result Set_Setting(Setting id, int value);

  bool Hold_Recompute() const { return hold_; }
  void Set_Hold_Recompute(bool on) { hold_ = on; }

  // ---- operations ----
  void Recompute_Settings();
  void Apply_Format(int format_index);
  // The switches a tablet's settings image stands for, shown as the
  // tablet reports them (its resolution included).
  void Apply_Tablet_Image(const Native_Image& image);
  void Load_Factory_Switches();
  // Writes a whole pattern (values other than 0 and 1, and not-present
  // switches, are left as they are) as one change, then recomputes once:
  // the batch command line of the switch-bank windows.
  void Set_Switch_Pattern(const Switch_Banks& pattern);

  const Switch_Image_Bytes& Switch_Image() const { return image_; }
  std::string Switch_Image_Text() const { return Image_Text(image_); }
  int Format_Code() const { return format_code_; }

  // The busy pointer, shown while the switches are written to a tablet.
  bool Busy_Pointer() const { return busy_; }
  void Set_Busy_Pointer(bool on);
  // Deepest nesting of the change cascade so far (for diagnostics).
  int Deepest_Cascade() const { return deepest_; }

 private:
  int& At(Bank bank, int number) { return Switch_At(banks_, bank, number); }
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
};

}  // namespace stylomat
