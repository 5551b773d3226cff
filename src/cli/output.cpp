#include "cli/output.h"

#include <cstdio>
#include <utility>

#include "platform/printable_text.h"

namespace stylomat::cli {

Doc::Field& Doc::Add(std::string key, Kind kind) {
  Field& f = fields_.emplace_back();
  f.key = std::move(key);
  f.kind = kind;
  return f;
}

Doc& Doc::Text(std::string key, std::string_view text) {
  Add(std::move(key), Kind::Text).text = text;
  return *this;
}

Doc& Doc::Word(std::string key, std::string_view word) {
  Add(std::move(key), Kind::Word).text = word;
  return *this;
}

Doc& Doc::Number(std::string key, long long number) {
  Add(std::move(key), Kind::Number).number = number;
  return *this;
}

Doc& Doc::Seconds(std::string key, double seconds) {
  Field& f = Add(std::move(key), Kind::Seconds);
  f.seconds = seconds;
  char shown[48];
  std::snprintf(shown, sizeof shown, "%.3f", seconds);
  f.text = shown;
  return *this;
}

Doc& Doc::Flag(std::string key, bool flag) {
  Add(std::move(key), Kind::Flag).flag = flag;
  return *this;
}

Doc& Doc::None(std::string key) {
  Add(std::move(key), Kind::None);
  return *this;
}

Doc& Doc::Text_Or_None(std::string key, const std::optional<std::string>& text) {
  return text ? Text(std::move(key), *text) : None(std::move(key));
}

Doc& Doc::Word_Or_None(std::string key, const char* word) {
  return word ? Word(std::move(key), word) : None(std::move(key));
}

Doc& Doc::List_Box(std::string key, const std::optional<std::string>& text, bool visible) {
  Field& f = Add(std::move(key), Kind::List_Box);
  f.flag = text.has_value();
  if (text) f.text = *text;
  f.visible = visible;
  return *this;
}

Doc& Doc::Check_Box(std::string key, bool checked, bool visible) {
  Field& f = Add(std::move(key), Kind::Check_Box);
  f.flag = checked;
  f.visible = visible;
  return *this;
}

Doc& Doc::Texts(std::string key, const std::vector<std::string>& texts) {
  Add(std::move(key), Kind::Texts).texts = texts;
  return *this;
}

Doc& Doc::Numbers(std::string key, const std::vector<long long>& numbers) {
  Add(std::move(key), Kind::Numbers).numbers = numbers;
  return *this;
}

Doc& Doc::Group(std::string key, Doc group) {
  Add(std::move(key), Kind::Group).group.push_back(std::move(group));
  return *this;
}

std::string Doc::Shown(const Field& f) {
  std::string shown;
  switch (f.kind) {
    case Kind::Text: return Quoted_Text(f.text);
    case Kind::Word:
    case Kind::Seconds: return f.text;
    case Kind::Number: return std::to_string(f.number);
    case Kind::Flag: return f.flag ? "true" : "false";
    case Kind::None:
    case Kind::Group: return "none";
    case Kind::List_Box: shown = f.flag ? Quoted_Text(f.text) : "none"; break;
    case Kind::Check_Box: shown = f.flag ? "checked" : "unchecked"; break;
    case Kind::Texts:
    case Kind::Numbers: {
      const std::size_t count = f.kind == Kind::Texts ? f.texts.size() : f.numbers.size();
      if (count == 0) return "none";
      for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) shown += ", ";
        shown += f.kind == Kind::Texts ? Quoted_Text(f.texts[i]) : std::to_string(f.numbers[i]);
      }
      return shown;
    }
  }
  if (!f.visible) shown += " (hidden)";
  return shown;
}

std::string Json_Text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

nlohmann::ordered_json Doc::Json_Value(const Field& f) {
  using json = nlohmann::ordered_json;
  switch (f.kind) {
    case Kind::Text: return Json_Text(f.text);
    case Kind::Word: return f.text;
    case Kind::Number: return f.number;
    case Kind::Seconds: return f.seconds;
    case Kind::Flag: return f.flag;
    case Kind::None: return nullptr;
    case Kind::List_Box: {
      json box = json::object();
      box["Text"] = f.flag ? json(Json_Text(f.text)) : json(nullptr);
      box["Visible"] = f.visible;
      return box;
    }
    case Kind::Check_Box: {
      json box = json::object();
      box["Checked"] = f.flag;
      box["Visible"] = f.visible;
      return box;
    }
    case Kind::Texts: {
      json list = json::array();
      for (const std::string& t : f.texts) list.push_back(Json_Text(t));
      return list;
    }
    case Kind::Numbers: return f.numbers;
    case Kind::Group: return f.group.front().Json();
  }
  return nullptr;
}

nlohmann::ordered_json Doc::Json() const {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const Field& f : fields_) object[f.key] = Json_Value(f);
  return object;
}

void Doc::Print_Lines(std::ostream& out, const std::string& prefix) const {
  for (const Field& f : fields_) {
    if (f.kind == Kind::Group) {
      f.group.front().Print_Lines(out, prefix + f.key + ".");
      continue;
    }
    out << prefix << f.key << ": " << Shown(f) << '\n';
  }
}

void Doc::Print(std::ostream& out) const { Print_Lines(out, ""); }

void Doc::Print_Row(std::ostream& out) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) out << (i > 0 ? " " : "") << Shown(fields_[i]);
  out << '\n';
}

void Doc::Print_Header(std::ostream& out) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) out << (i > 0 ? " " : "") << fields_[i].key;
  out << '\n';
}

void Printer::Doc_Out(const Doc& doc) {
  if (json_) {
    out_ << doc.Json().dump(-1, ' ', true) << '\n';
    return;
  }
  if (any_doc_) out_ << '\n';
  any_doc_ = true;
  doc.Print(out_);
}

void Printer::Row_Out(const Doc& row) {
  if (json_) {
    out_ << row.Json().dump(-1, ' ', true) << '\n';
    return;
  }
  Header_Out(row);
  row.Print_Row(out_);
}

void Printer::Header_Out(const Doc& row) {
  if (json_ || header_) return;
  row.Print_Header(out_);
  header_ = true;
}

}  // namespace stylomat::cli
