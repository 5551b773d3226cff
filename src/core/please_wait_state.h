#pragma once
// The please-wait window (Splash) as plain data: whether it is up, its
// caption, and the position of its logo animation.
#include <string>

namespace stylomat {

struct Please_Wait_State {
  bool Up = false;
  std::string Caption;
  bool Hourglass = false;
  // Animation position in frames; the search waits for it to reach 52 (or
  // the clip's last frame, when it has fewer) before closing the window.
  // Without a clip it is taken as finished.  The window's player feeds it.
  int Animation_Position = 0;
  bool Animation_Playing = false;
  // Rewinds and plays the search asked for ("prev", then "Play"), counted,
  // so the window's player follows each one.
  int Plays = 0;
  // A logo clip is loaded into the player, with this many frames (0 when
  // the player cannot tell).  Without one there is nothing to wait for:
  // the animation counts as finished.
  bool Clip_Loaded = false;
  int Clip_Frames = 0;
};

// The KORV read progress window (Please_Wait of the configuration window).
struct Read_Progress_State {
  bool Shown = false;
  std::string Wait_Text;
  std::string Wait_Progress;
};

}  // namespace stylomat
