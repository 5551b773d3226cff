#include "cli/inputs.h"

#include <span>
#include <streambuf>

#include "cli/cli.h"

namespace stylomat::cli {

namespace {

int Hex_Value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Comma-separated fields of one or two hexadecimal digits, at most
// bytes.size() of them, into bytes.  The number of fields; nothing when
// the text is anything else.
std::optional<std::size_t> Hex_Fields(std::string_view text, std::span<std::uint8_t> bytes) {
  std::size_t fields = 0;
  int digits = 0;
  int value = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',') {
      if (digits == 0 || fields >= bytes.size()) return std::nullopt;
      bytes[fields++] = static_cast<std::uint8_t>(value);
      digits = 0;
      value = 0;
      continue;
    }
    const int d = Hex_Value(text[i]);
    if (d < 0 || digits == 2) return std::nullopt;
    value = value * 16 + d;
    ++digits;
  }
  return fields;
}

std::string_view Without_Line_End(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

// One line of standard input into `line`, at most Longest_Input_Line bytes
// of it (the rest is read and dropped).  False at the end of the input.
bool Next_Line(std::streambuf& in, std::string& line, bool& too_long) {
  line.clear();
  too_long = false;
  int c = in.sbumpc();
  if (c == std::char_traits<char>::eof()) return false;
  while (c != std::char_traits<char>::eof() && c != '\n') {
    if (line.size() < Longest_Input_Line) {
      line += static_cast<char>(c);
    } else {
      too_long = true;
    }
    c = in.sbumpc();
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

std::optional<SuperSet_Record> Record_Argument(std::string_view text) {
  SuperSet_Record record{};
  const auto fields = Hex_Fields(text, record);
  if (!fields || *fields != record.size()) return std::nullopt;
  return record;
}

std::optional<Native_Image> Image_Argument(std::string_view text) {
  const std::string_view reply = Without_Line_End(text);
  if (reply.size() == Image_Text_Length) return Parse_Image_Text(reply);
  Native_Image image{};
  if (!Hex_Fields(reply, image)) return std::nullopt;
  return image;
}

std::string Not_A_Record(const std::string& input) {
  return Quoted_Text(input) + " is not a record: four hexadecimal bytes such as 32,40,51,07";
}

std::string Not_An_Image(const std::string& input) {
  return Quoted_Text(input) +
         " is not an image: 20 characters as the tablet sends them, or one to seven hexadecimal bytes such as "
         "40,77,89,61,00,08,00";
}

int Each_Input(Context& ctx, const std::vector<std::string>& words, const std::string& needs,
               const Input_Reader& read) {
  if (words.empty()) return ctx.Usage_Error(needs);
  const bool from_input = words.size() == 1 && words.front() == "-";
  if (!from_input) {
    for (const std::string& w : words) {
      if (w == "-") return ctx.Usage_Error("\"-\" (standard input) takes the place of every other input");
    }
  }
  bool failed = false;
  std::string why;
  // line: the input's line of standard input, 0 for a word.
  const auto one = [&](const std::string& input, long line) {
    why.clear();
    if (const std::optional<Doc> doc = read(input, why)) {
      ctx.printer().Doc_Out(*doc);
      return;
    }
    ctx.err() << "stylomat-cli: ";
    if (line > 0) ctx.err() << "line " << line << ": ";
    ctx.err() << why << '\n';
    failed = true;
  };
  if (!from_input) {
    for (const std::string& w : words) one(w, 0);
    return failed ? Exit_Error : Exit_Ok;
  }
  std::streambuf* in = ctx.in().rdbuf();
  if (!in) return ctx.Usage_Error("standard input cannot be read");
  std::string line;
  bool too_long = false;
  for (long number = 1; Next_Line(*in, line, too_long); ++number) {
    if (too_long) {
      ctx.err() << "stylomat-cli: line " << number << ": longer than " << Longest_Input_Line << " characters\n";
      failed = true;
      continue;
    }
    if (!line.empty()) one(line, number);
  }
  return failed ? Exit_Error : Exit_Ok;
}

}  // namespace stylomat::cli
