#pragma once
// The please-wait window of the searches (Splash with its logo animation).
#include "core/session.h"

namespace stylomat {

// The frame the logo animation must reach before the window may close.
inline constexpr int Splash_Closing_Frame = 52;
// How long the program waits for it at most: a clip that stalls or is
// stopped early must not hold the program.
inline constexpr double Splash_Wait_Limit_Seconds = 10.0;

// 1 stop: wait for the animation to reach its closing frame, close the
//   window, show the main window, normal mouse pointer.
// 2 bring up: hourglass; unless the window is up, hide the main window and
//   show it.
// 3 searching: hourglass; bring the window up (or, when it is up, wait as
//   in 1); rewind and play the animation; caption "Searching Serial Port  "
//   + Port_Number, repainted at once.
// 4 system information: as 3; the caller then sets its own caption.
// Any other mode does nothing.
void Show_Search_Animation(Session& s, int mode);

// The mouse pointer: hourglass while a command runs.
void Set_Hourglass(Session& s, bool on);

}  // namespace stylomat
