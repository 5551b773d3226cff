#pragma once
// What the grid test's routines work on: the session (report state, main
// window with its grid controls, tablet identity, port), the drawing and
// the cursor picture's player.
#include "core/session.h"
#include "platform/clip_player.h"
#include "testbench/grid_canvas.h"

namespace stylomat {

struct Grid_Context {
  Session& s;
  Grid_Canvas& canvas;
  Clip_Player& player;
};

}  // namespace stylomat
