// Feeds arbitrary text to the SuperSet table-file reader, then shows every
// record it produced in a configuration form.  Checks that the reader keeps
// to its rows and counts, and that a record the form has written once is
// written again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/session.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"

namespace {

using namespace stylomat;

constexpr SuperSet_Record Marker = {0xA5, 0x5A, 0xA5, 0x5A};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static Virtual_Clock clock;
  static Port_Directory ports;
  static Fixed_Prompter prompter;
  static Session s(clock, ports, prompter);

  // First byte: window, OEM mode, Quorral III.
  const std::uint8_t flags = data[0];
  const Config_Window window = static_cast<Config_Window>((flags & 3) % 3);
  s.OEM_Mode = (flags & 4) != 0;
  s.identity.Quorral_III_Flag = (flags & 8) != 0;
  s.Debug_Mode = (flags & 16) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const Table_File_Layout layout = Table_Layout(window, s.OEM_Mode, s.identity.Quorral_III_Flag);
  SuperSet_Table table;
  table.fill(Marker);
  const Table_File_Result r = Parse_Table_Text(text, layout, table);
  Check(r.records_found >= 0 && r.records_found <= layout.records);
  Check(r.damaged_records >= 0 && r.damaged_records <= r.records_found);
  Check(r.ok == (r.records_found == layout.records && r.damaged_records == 0));
  for (int k = 0; k < SuperSet_Rows; ++k) {
    const bool filled = k >= layout.first_row && k <= layout.last_row && k < layout.records;
    if (!filled) Check(table[static_cast<std::size_t>(k)] == Marker);
  }

  // Show each filled row as the window does, then edit a copy of it.
  SuperSet_Form form(s, window);
  form.Table() = table;
  const int entries = static_cast<int>(form.List(SuperSet_Box::CmbSuperSet).items.size());
  for (int k = layout.first_row; k <= layout.last_row && k < entries; ++k) {
    form.Select_SuperSet(k);
    form.Table()[90] = form.Table()[static_cast<std::size_t>(k)];
    form.Select_SuperSet(90);
    const SuperSet_Record once = form.Table()[90];
    form.Table()[91] = once;
    form.Select_SuperSet(91);
    Check(form.Table()[91] == once);
  }
  s.log = Traffic_Log{};
  return 0;
}
