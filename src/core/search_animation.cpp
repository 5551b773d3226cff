#include "core/search_animation.h"

#include <algorithm>
#include <string>

namespace stylomat {

namespace {

constexpr double Event_Slice_Seconds = 0.01;

bool Animation_Far_Enough(const Please_Wait_State& splash) {
  // Without a clip, or with one that is not playing, nothing will move.
  if (!splash.Clip_Loaded || !splash.Animation_Playing) return true;
  // A clip shorter than the closing frame ends at its last frame.
  const int last = splash.Clip_Frames > 0 ? splash.Clip_Frames - 1 : Splash_Closing_Frame;
  return splash.Animation_Position >= std::min(Splash_Closing_Frame, last);
}

// Runs window events (the clip player advances the position among them)
// until the animation has reached its closing frame, never longer than the
// limit.
void Wait_For_Animation(Session& s) {
  const double give_up = s.clock.Now() + Splash_Wait_Limit_Seconds;
  const int passes = static_cast<int>(Splash_Wait_Limit_Seconds / Event_Slice_Seconds) + 2;
  for (int pass = 0; pass < passes && !Animation_Far_Enough(s.splash); ++pass) {
    s.Process_Events();
    if (Animation_Far_Enough(s.splash)) break;
    const double now = s.clock.Now();
    if (now >= give_up) break;
    s.clock.Sleep_Until(now + Event_Slice_Seconds < give_up ? now + Event_Slice_Seconds : give_up);
  }
}

void Bring_Up(Session& s) {
  Set_Hourglass(s, true);
  if (s.splash.Up) return;
  s.splash.Up = true;
  s.main.Visible = false;
  s.main.Touch();
}

void Close_Splash(Session& s) {
  if (s.splash.Up) Wait_For_Animation(s);
  s.splash.Animation_Playing = false;  // "stop", "close"
  s.splash.Up = false;
  s.main.Visible = true;
  Set_Hourglass(s, false);
  s.main.Touch();
}

void Start_Searching(Session& s) {
  Set_Hourglass(s, true);
  if (!s.splash.Up) {
    Bring_Up(s);
  } else {
    Wait_For_Animation(s);
  }
  s.splash.Animation_Position = 0;    // "prev"
  s.splash.Animation_Playing = true;  // "Play"
  ++s.splash.Plays;
  s.splash.Caption = "Searching Serial Port  " + std::to_string(s.Port_Number);
  s.front_end().Repaint_Splash();
}

}  // namespace

void Set_Hourglass(Session& s, bool on) {
  s.splash.Hourglass = on;
  if (s.main.Busy == on) return;
  s.main.Busy = on;
  s.main.Touch();
}

void Show_Search_Animation(Session& s, int mode) {
  switch (mode) {
    case 1: Close_Splash(s); break;
    case 2: Bring_Up(s); break;
    case 3:
    case 4: Start_Searching(s); break;
    default: break;
  }
}

}  // namespace stylomat
