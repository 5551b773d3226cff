#include "superset/table_files.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/data_file.h"
#include "core/session.h"
#include "superset/superset_form.h"

namespace stylomat {

namespace {

// A table file is about a kilobyte; nothing beyond this is ever looked at.
constexpr std::size_t Max_File_Bytes = 1 << 20;
constexpr int Field_Saturation = 0x10000;
constexpr const char* Message_Title = "Stylomat";

bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

int Hex_Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Is_Blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && Is_Blank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits off the next line; the line end is CR, LF or CR LF.
std::string_view Next_Line(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
  const std::string_view line = text.substr(start, pos - start);
  if (pos < text.size() && text[pos] == '\r') ++pos;
  if (pos < text.size() && text[pos] == '\n') ++pos;
  return line;
}

// Up to four fields of one line.  A quoted field runs to its closing quote;
// text between the quote and the next comma is ignored.  Returns the number
// of fields found.
int Split_Fields(std::string_view line, std::array<std::string_view, 4>& fields) {
  std::size_t i = 0;
  int count = 0;
  while (count < 4) {
    while (i < line.size() && Is_Blank(line[i])) ++i;
    std::string_view field;
    if (i < line.size() && line[i] == '"') {
      const std::size_t open = i + 1;
      std::size_t close = open;
      while (close < line.size() && line[close] != '"') ++close;
      field = line.substr(open, close - open);
      i = close;
      while (i < line.size() && line[i] != ',') ++i;
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ',') ++i;
      field = Trim(line.substr(start, i - start));
    }
    fields[static_cast<std::size_t>(count++)] = field;
    if (i >= line.size()) break;  // the line ended with this field
    ++i;                          // past the comma
  }
  return count;
}

bool Is_Blank_Line(std::string_view line) { return Trim(line).empty(); }

std::string Problem_Text(const Table_File_Result& r, const Table_File_Layout& layout) {
  const std::string file = "The SuperSet table file \"" + r.path + "\"";
  if (!r.opened) {
    return file + " could not be read.\r\nThe factory SuperSets of this window are left empty.";
  }
  std::string text;
  if (r.records_found < layout.records) {
    text = file + " holds " + std::to_string(r.records_found) + " of the " + std::to_string(layout.records) +
           " records this window needs.";
  }
  if (r.damaged_records > 0) {
    if (!text.empty()) text += "\r\nIt also has ";
    else text = file + " has ";
    text += std::to_string(r.damaged_records) + (r.damaged_records == 1 ? " damaged record" : " damaged records") +
            ", the first is record " + std::to_string(r.first_damaged) + " on line " +
            std::to_string(r.first_damaged_line) + ".";
  }
  text += "\r\nThe SuperSets it could not give are left empty.";
  return text;
}

// Reads at most Max_File_Bytes of a regular file (never a device or a
// pipe, which could block).
bool Read_Text_File(const std::string& path, std::string& text) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  std::array<char, 4096> chunk{};
  while (text.size() < Max_File_Bytes) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    text.append(chunk.data(), std::min(got, Max_File_Bytes - text.size()));
    if (got < chunk.size()) break;
  }
  return !in.bad();
}

bool In_Rows(int k, const Table_File_Layout& layout) { return k >= layout.first_row && k <= layout.last_row; }

}  // namespace

const char* Table_File_Name(Config_Window window) {
  switch (window) {
    case Config_Window::KORV_form: return KORV_Table_File;
    case Config_Window::Mirolex2: return Mirolex_Table_File;
    case Config_Window::Dovrane3: return Dovrane_Table_File;
    case Config_Window::Pv5:
    case Config_Window::VSIII: break;  // no table file: switch banks
  }
  return KORV_Table_File;
}

Table_File_Layout Table_Layout(Config_Window window, bool oem_mode, bool quorral_iii) {
  switch (window) {
    case Config_Window::KORV_form: return {101, 90, quorral_iii ? 98 : 99};
    case Config_Window::Mirolex2: return {100, 0, 99};
    case Config_Window::Dovrane3: return oem_mode ? Table_File_Layout{105, 0, 104} : Table_File_Layout{101, 0, 100};
    case Config_Window::Pv5:
    case Config_Window::VSIII: break;
  }
  return {};
}

int Table_Field_Value(std::string_view field) {
  int value = 0;
  for (char c : field) {
    const int d = Hex_Digit(c);
    if (d < 0) break;
    value = value * 16 + d;
    if (value >= Field_Saturation) return Field_Saturation;
  }
  return value;
}

Table_File_Result Parse_Table_Text(std::string_view text, const Table_File_Layout& layout, SuperSet_Table& table) {
  Table_File_Result r;
  r.opened = true;
  const int last_row = std::min(layout.last_row, SuperSet_Rows - 1);
  const int first_row = std::max(layout.first_row, 0);
  std::size_t pos = 0;
  int line_number = 0;
  int k = 0;
  while (k < layout.records && pos < text.size()) {
    const std::string_view line = Next_Line(text, pos);
    ++line_number;
    if (Is_Blank_Line(line)) continue;

    std::array<std::string_view, 4> fields{};
    bool sound = Split_Fields(line, fields) == 4;
    SuperSet_Record record{};
    for (std::size_t j = 0; sound && j < fields.size(); ++j) {
      const int v = Table_Field_Value(fields[j]);
      if (v > 0xFF) sound = false;
      record[j] = static_cast<std::uint8_t>(v & 0xFF);
    }
    if (!sound) {
      if (r.damaged_records++ == 0) {
        r.first_damaged = k;
        r.first_damaged_line = line_number;
      }
      record = {};
    }
    if (k >= first_row && k <= last_row) table[static_cast<std::size_t>(k)] = record;
    ++k;
  }
  r.records_found = k;
  // Rows whose records the file did not have are left empty.
  for (; k < layout.records; ++k) {
    if (k >= first_row && k <= last_row) table[static_cast<std::size_t>(k)] = SuperSet_Record{};
  }
  r.ok = r.records_found == layout.records && r.damaged_records == 0;
  return r;
}

Table_File_Result Read_Table_File(Session& session, const std::string& path, const Table_File_Layout& layout,
                                  SuperSet_Table& table) {
  std::string text;
  const bool opened = Read_Text_File(path, text);

  Table_File_Result r;
  if (opened) {
    r = Parse_Table_Text(text, layout, table);
  } else {
    for (int k = 0; k < layout.records; ++k) {
      if (In_Rows(k, layout) && k < SuperSet_Rows) table[static_cast<std::size_t>(k)] = SuperSet_Record{};
    }
  }
  r.path = path;
  if (!r.ok) {
    r.message = Problem_Text(r, layout);
    session.prompter.Inform(r.message, Message_Title);
  }
  return r;
}

Table_File_Result Read_KORV_Data_File(Session& session, SuperSet_Table& table) {
  const auto layout = Table_Layout(Config_Window::KORV_form, session.OEM_Mode, session.identity.Quorral_III_Flag);
  return Read_Table_File(session, Data_File_Path(session.App_Dir, KORV_Table_File), layout, table);
}

Table_File_Result TABLES(Session& session, Config_Window window, SuperSet_Table& table) {
  const auto layout = Table_Layout(window, session.OEM_Mode, session.identity.Quorral_III_Flag);
  return Read_Table_File(session, Data_File_Path(session.App_Dir, Table_File_Name(window)), layout, table);
}

Table_File_Result Read_KORV_Data_File(SuperSet_Form& form) { return Read_KORV_Data_File(form.session(), form.Table()); }

Table_File_Result TABLES(SuperSet_Form& form) { return TABLES(form.session(), form.Window(), form.Table()); }

}  // namespace stylomat
