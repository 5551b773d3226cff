#include "testbench/grid_help.h"

#include "stylomat_version.h"

namespace stylomat {

About_Grid_Texts About_Grid() {
  About_Grid_Texts t;
  t.caption = "Grid Testing Help";
  t.title = "Grid Test";
  t.version = "Version " + std::to_string(Version_Major) + "." + std::to_string(Version_Minor) + "." +
              std::to_string(Version_Revision);
  t.paragraphs = {{
      {"Check for Broken Grids:",
       "Place the tablet's cursor in the lower left corner of the active area.  Press a button and move the cursor "
       "slowly towards the upper right corner.  This will allow the cursor to be moved across every grid in the "
       "tablet.  Grids run horizontally (x axis) and vertically (y axis) throughout the tablet."},
      {"Thin White Lines:",
       "A thin white line is drawn when the distance between two consecutive points, read from the tablet, is less "
       "than 200.  This shows the tablet is constantly transmitting data within an expectable range.  A \"stair "
       "step\" may be seen when drawing diagonal lines across the tablet indicating a broken grid or some type of "
       "interference between the tablet and cursor.  To eliminate any source of interference, move the tablet at "
       "lease 18 inches away from any electrical devices or metal objects.  The most common source of interference "
       "is caused by, tablets sitting on medal desks or to close to the computer's Monitor."},
      {"Bold Red Lines:",
       "A bold red line is drawn when the distance between two consecutive points, read from the tablet, is greater "
       "than 200.  This indicates an area on the tablet where communication with the cursor has been lost, due to a "
       "broken grid, or when the cursor has been moved to fast across the tablet."},
  }};
  return t;
}

}  // namespace stylomat
