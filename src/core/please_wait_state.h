#pragma once
// The please-wait window (Splash) as plain data: whether it is up, its
// caption, and the position of its logo animation.
#include <string>

namespace stylomat {

struct Please_Wait_State {
  bool Up = false;
  std::string Caption;
  bool Hourglass = false;
  // Animation position in frames; the search waits for it to pass 52 before
  // closing the window.  Without a clip it is taken as finished.
  int Animation_Position = 0;
  bool Animation_Playing = false;
  // A logo clip is loaded into the player.  Without one there is nothing
  // to wait for: the animation counts as finished.
  bool Clip_Loaded = false;
};

// The KORV read progress window (Please_Wait of the configuration window).
struct Read_Progress_State {
  bool Shown = false;
  std::string Wait_Text;
  std::string Wait_Progress;
};

}  // namespace stylomat
