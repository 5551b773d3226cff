#pragma once
// The one output shape of stylomat-cli.
//
// Every result a command prints is a Doc: fields in a fixed order, each a
// key and a value.  For a reader a Doc is one "Key: value" line per field
// (a group's fields as "Key.Field: value"), Docs apart by a blank line;
// with --json it is one JSON object on one line.  A stream of reports is a
// table for a reader instead (a header line of the keys, then one line of
// values per row) and JSON Lines as well.
//
// Values for a reader:
//   "text"          a text as shown (tablet replies, box texts, messages):
//                   quoted, \\ \" \r \n \t and \xNN for every other byte
//                   outside printable ASCII (Quoted_Text)
//   word            a name the program gives (KORV_form, COM3, 32,40,51,07)
//   123, 0.120      numbers
//   true, false     yes/no facts
//   none            nothing (JSON null); an empty list too ([] in JSON)
//   a, b, c         a list: its items as above, joined by ", "
//   "9600" (hidden) a list box: its item text (none without one), then
//                   " (hidden)" when the window hides it
//   checked         a check box: checked or unchecked, and " (hidden)"
// In JSON a text is a string whose characters are the text's bytes
// (byte N is the character U+00NN, so a byte above 127 is never lost);
// control characters are escaped by the JSON rules.  A list box is
// {"Text": "9600", "Visible": true}, a check box
// {"Checked": true, "Visible": false}, a group an object.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace stylomat::cli {

class Doc {
 public:
  Doc& Text(std::string key, std::string_view text);
  Doc& Word(std::string key, std::string_view word);
  Doc& Number(std::string key, long long number);
  // Seconds with three decimals ("0.120").
  Doc& Seconds(std::string key, double seconds);
  Doc& Flag(std::string key, bool flag);
  Doc& None(std::string key);
  // A text when there is one, none otherwise.
  Doc& Text_Or_None(std::string key, const std::optional<std::string>& text);
  Doc& Word_Or_None(std::string key, const char* word);
  // A list box: its item text, nothing when no item is selected.
  Doc& List_Box(std::string key, const std::optional<std::string>& text, bool visible);
  Doc& Check_Box(std::string key, bool checked, bool visible);
  Doc& Texts(std::string key, const std::vector<std::string>& texts);
  Doc& Numbers(std::string key, const std::vector<long long>& numbers);
  Doc& Group(std::string key, Doc group);

  bool Empty() const { return fields_.empty(); }

  // "Key: value" lines, a group's fields with its key and a dot before
  // theirs; appended to `out`.
  void Append_Lines(std::string& out, const std::string& prefix) const;
  std::string Lines() const;
  // One line of a table: the values, joined by one blank.
  std::string Row() const;
  // The table's header: the keys, joined by one blank.
  std::string Header() const;
  nlohmann::ordered_json Json() const;

 private:
  enum class Kind { Text, Word, Number, Seconds, Flag, None, List_Box, Check_Box, Texts, Numbers, Group };
  struct Field {
    std::string key;
    Kind kind = Kind::None;
    std::string text;  // Text, Word, Seconds (as shown), List_Box
    long long number = 0;
    double seconds = 0;
    bool flag = false;  // Flag, Check_Box's state, List_Box: has a text
    bool visible = true;
    std::vector<std::string> texts;
    std::vector<long long> numbers;
    std::vector<Doc> group;  // one Doc for a group
  };
  Field& Add(std::string key, Kind kind);
  static void Append_Shown(std::string& out, const Field& field);
  static nlohmann::ordered_json Json_Value(const Field& field);

  std::vector<Field> fields_;
};

// A text as a JSON string: each byte the character of the same number
// (U+0000 to U+00FF), so any bytes make valid UTF-8.
std::string Json_Text(std::string_view text);

// Prints Docs and rows in the form chosen: blank lines between Docs and a
// header before the first row for a reader, one JSON object a line with
// --json.
class Printer {
 public:
  Printer(std::ostream& out, bool json) : out_(out), json_(json) {}
  bool Json() const { return json_; }
  void Doc_Out(const Doc& doc);
  void Row_Out(const Doc& row);
  // The table's header for a reader now, from a row of the table's shape
  // (so that a table without rows still says its columns).
  void Header_Out(const Doc& row);

 private:
  void Write_Json(const Doc& doc);

  std::ostream& out_;
  bool json_;
  bool any_doc_ = false;
  bool header_ = false;
  std::string buffer_;  // one result at a time, written at once
};

}  // namespace stylomat::cli
