#include "cli/superset_print.h"

#include <iomanip>
#include <string>

namespace stylomat::cli {

void Print_SuperSet_Box(std::ostream& out, const SuperSet_Form& form, SuperSet_Box box) {
  std::string shown;
  bool visible = false;
  if (Is_List_Box(box)) {
    const List_Box& list = form.List(box);
    shown = list.index < 0 ? "(none)" : "\"" + list.Text() + "\"";
    visible = list.visible;
  } else {
    const Check_Box& check = form.Check(box);
    shown = check.value ? "checked" : "unchecked";
    visible = check.visible;
  }
  out << std::left << std::setw(13) << Box_Name(box) << std::setw(28) << shown << (visible ? "visible" : "hidden")
      << '\n';
}

}  // namespace stylomat::cli
