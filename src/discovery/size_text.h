#pragma once
// The active-area text of the main window: height first, in inches, each
// figure a plain decimal number without trailing zeros ("12 x 18",
// "12.5 x 12").
#include <string>

namespace stylomat {

// One figure: counts / counts_per_inch as a plain decimal number ("12",
// "12.5", "0.75"), never in exponent form.
std::string Inches_Text(long counts, long counts_per_inch);

// Height + " x " + width.  A non-positive counts_per_inch gives "N/A", the
// text of an unknown size.
std::string Size_Text(long height_counts, long width_counts, long counts_per_inch);

}  // namespace stylomat
