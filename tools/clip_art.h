#pragma once
// The program's own pictures, drawn from scratch: the cursors of the grid
// test with their buttons lit one by one, and the "Stylomat" logo
// animation of the please-wait window.  Every frame is computed here (no
// image files are read), so the clips the build writes are ours alone.
//
// A frame is an RGB picture, top row first, three bytes a pixel, rows
// packed without padding.
#include <cstdint>
#include <string>
#include <vector>

namespace stylomat::clips {

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes
};

// The cursors that have a clip of their own.
enum class Cursor_Kind {
  Puck16,       // 16-button puck: 16-MNR.avi
  Mouse5,       // 5-button mouse: 5-MNR.avi
  Inline4,      // 4-button inline puck: 4-MNR.avi
  Stylus3,      // 3-button stylus (tip and two side switches): 3-Sty.AVI
  Diamond4,     // 4-button diamond puck: 4-Zelta.avi
};

struct Clip_Plan {
  std::string file;   // name in the data directory
  int frames = 0;
  int fps = 0;
  int width = 0;
  int height = 0;
  bool logo = false;
  Cursor_Kind cursor = Cursor_Kind::Puck16;
};

// The six clips the program opens, with their frame counts: 32 for the
// 16-button puck (frame 0 idle, 1 to 15 a button each, 16 to 31 its
// buttons 1 to 16), 16 for the other cursors (frame 0 idle, 1 to 15), and
// Logo_Frames for the logo.
inline constexpr int Logo_Frames = 60;
std::vector<Clip_Plan> All_Clips();

// How many buttons a cursor has.
int Buttons_Of(Cursor_Kind kind);
// The button a frame of a cursor's clip lights: frames 1 to 15 light
// that button (when the cursor has it), frames 16 to 31 of the 16-button
// puck its buttons 1 to 16; 0: none.
int Lit_Button(Cursor_Kind kind, int frame);

// Frame `frame` of a cursor's clip: the cursor at rest, its lit button
// glowing, and the frame's button number in a badge (frames above 0).
Frame Draw_Cursor(Cursor_Kind kind, int frame, int width, int height);
// The centre of a button in a picture of the given size (for checks).
struct Point {
  double x = 0;
  double y = 0;
};
Point Button_Centre(Cursor_Kind kind, int button, int width, int height);

// Frame `frame` (0 to frames - 1) of the logo animation: a tablet grid
// fades in, the word "Stylomat" is written stroke by stroke, then
// underlined; from frame 52 on it stands complete.
Frame Draw_Logo(int frame, int frames, int width, int height);

// Colours the checks look for.
inline constexpr std::uint8_t Lit_Red = 255, Lit_Green = 170, Lit_Blue = 20;

}  // namespace stylomat::clips
