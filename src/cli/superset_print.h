#pragma once
// Printing a SuperSet window's boxes for the commands that show records.
#include <ostream>

#include "superset/superset_form.h"

namespace stylomat::cli {

// One line: the box's name, the item or check state it shows, and whether
// the box is visible.
void Print_SuperSet_Box(std::ostream& out, const SuperSet_Form& form, SuperSet_Box box);

}  // namespace stylomat::cli
