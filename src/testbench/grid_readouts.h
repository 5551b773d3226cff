#pragma once
// Everything the user sees around the grid drawing: the coordinate
// read-outs in counts, inches or millimetres, the pressure and button
// read-outs, the cursor picture with the pressed button's frame, clearing
// the view, and the name proposed for a saved picture.
#include <string>

#include "core/session.h"
#include "testbench/grid_analysis.h"
#include "testbench/grid_context.h"

namespace stylomat {

// Tooltips of the grid view.
inline constexpr const char* Grid_Start_ToolTip =
    "Test the tablet's grid by pressing a button and slowly moving the cursor from the lower left corner to the uper "
    "right corner.";
inline constexpr const char* Grid_Clear_ToolTip =
    "Test the tablet's grid by slowly moving the cursor from the lower left corner to the uper right corner.";
// The message when a cursor's clip cannot be opened (OK, no title).
inline constexpr const char* Missing_Clip_Text = "The Cursor AVI is missing from the Installation Directory";

// ---- units ---------------------------------------------------------------

enum class Grid_Units { Counts, Inches, Millimetres };

// The unit the ticks of the Coordinates menu choose: counts when
// "Increment (Default)" is ticked, else inches when "US (Decimal)" is,
// else millimetres.
Grid_Units Ticked_Units(const Main_Window_State& m);

// A number as the read-outs write fractions: no fixed number of decimals,
// no trailing zeros, at most 15 significant digits (1.234, 25.4, 0).
std::string Format_General(double value);

// A coordinate in the unit chosen.  Counts are written whole; a serial
// tablet counts 1000 to the inch, or 500 with half resolution (1234 counts
// read 1.234 inches, or 2.468 at half resolution; 1000 counts read 25.4 mm).
std::string Coordinate_Text(long counts, Grid_Units units, bool half_resolution);

// ---- cursor pictures -------------------------------------------------------

struct Cursor_Picture {
  int code;
  const char* name;  // written into the cursor box (no leading blank)
  const char* clip;  // the clip file in the installation directory
};
// The picture of a cursor code 0 to 7; nullptr for any other code.
const Cursor_Picture* Find_Cursor_Picture(int code);

// The KV chord rule: the frame for a button code of a KV puck, given the
// button code shown before (previous) and the last two-button chord's frame
// (pair, updated as the rule says).  Codes other than 1 to 7 give frame 0.
int KV_Chord_Frame(int code, int previous, int& pair);

// The 4-button diamond puck's frames: 1 to 15 become 1, 2, 3, 8, 9, 10,
// 11, 4, 5, 6, 7, 12, 13, 14, 15 (4 to 7 and 8 to 11 change places); any
// other frame becomes 0.
int Diamond_Frame(int frame);
// The diamond puck of a Velliscope tablet, or of a Type-5 tablet.
bool Diamond_Remap_Applies(const Tablet_Identity& id, int cursor_code);

// Wintab reports buttons as a bit mask: a single bit n gives frame 16 + n
// of the 16-button puck (1 gives 16, 32768 gives 31); anything else 0.
int Wintab_Button_Frame(int mask);

// Opens the picture of a cursor (code), closing the one shown.  Writes the
// cursor's name into the cursor box, or "Unknown " and Cursor_Code for a
// code without a picture (the picture area is hidden then).  A clip that
// cannot be opened gives the message Missing_Clip_Text; the test goes on
// without a picture.  The pressure controls show for the pressure stylus.
void Show_Cursor_Picture(Grid_Context& g, int code);
// Hides the pressure controls, stops and closes the clip, hides the
// picture area.
void Stop_Cursor_Picture(Grid_Context& g);
// Shows the frame of a button code in the open clip; updates Btn_Press and
// Shown_Button.  When the player fails, the cursor's picture is opened
// again if another cursor is now reported.
void Show_Button_Picture(Grid_Context& g, int code);

// ---- the read-outs -----------------------------------------------------------

// Drawing width from Line_Size, X_Cord and Y_Cord in the ticked unit, the
// pressure read-outs, Btn_Press, and the cursor picture and button frame
// when the reports changed them.  The serial form counts 1000 (or 500) to
// the inch; the driver's form divides by the resolutions the driver
// reported (X_Res, Y_Res of WT_Testing) and chooses the picture through
// Map_Wintab_Cursor.  A resolution that is zero or not a number leaves the
// read-outs in counts.
void Refresh_Readouts(Grid_Context& g, Grid_Form form = Grid_Form::Serial);

// A coordinate of the driver's form in the unit chosen, from the driver's
// resolution (counts per centimetre); counts when the resolution is no
// usable number.
std::string Wintab_Coordinate_Text(long counts, Grid_Units units, bool half_resolution, const std::string& resolution);

// The picture of the driver's cursor: the cursor's button count in
// Cursor_Table chooses the cursor code (2 buttons the 2-button stylus, 3
// the 3-button stylus or, with a pressure button, the pressure stylus, 4 a
// puck: inline for a Mensaro tablet by its name, diamond otherwise, 5 the
// mouse, 16 the 16-button puck) unless the user picked one; the picture is
// opened when the cursor changed.  Returns the cursor code.
int Map_Wintab_Cursor(Grid_Context& g, const std::string& name, int cursor_index);

// Clear Screen: clears the drawing, puts the help tooltip back, writes the
// coordinates in counts whatever unit is ticked and the pressure, shows
// the button's frame when it changed, and starts the next stroke afresh.
void Clear_Grid_View(Grid_Context& g);

// ---- saving ------------------------------------------------------------------

// "PRX 3-5-2007.bmp" for 5 March 2007: month and day without leading zeros,
// four-digit year.
std::string Grid_File_Name(int year, int month, int day);
// The save dialog's filter.
inline constexpr const char* Grid_File_Filter = "Bitmap (*.bmp)|*.bmp|";

}  // namespace stylomat
