#pragma once
// What the core asks of whichever front end shows it (the Qt windows, the
// command line, a test).  Every request has a do-nothing default, so a
// front end overrides only what it has.
#include <optional>
#include <string>

#include "core/config_windows.h"

namespace stylomat {

class Front_End {
 public:
  virtual ~Front_End() = default;
  // Runs pending window events: the waits that keep the window responsive
  // call it between their short sleeps.
  virtual void Process_Events() {}
  // Brings the log window up to date with the traffic log.
  virtual void Refresh_Log_View() {}
  // Repaints the please-wait window at once (its caption changed).
  virtual void Repaint_Splash() {}
  // The system beep.
  virtual void Beep() {}
  // Shows a configuration window with its caption.  False when this front
  // end has no such window.
  virtual bool Open_Config_Window(Config_Window /*window*/, const std::string& /*caption*/) { return false; }
  // A configuration window asked the program to end.
  virtual void End_Program() {}
  // The save dialog Form_Dialog: proposes a file name under a filter in
  // the dialog's own notation ("Bitmap (*.bmp)|*.bmp|") and answers the
  // path chosen, or nothing when the user cancelled.
  virtual std::optional<std::string> Ask_Save_File(const std::string& /*proposed*/, const std::string& /*filter*/) {
    return std::nullopt;
  }
};

}  // namespace stylomat
