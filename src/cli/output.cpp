#include "cli/output.h"

#include <cstdio>
#include <utility>

#include "platform/printable_text.h"

namespace stylomat::cli {

Doc::Field& Doc::Add(std::string key, Kind kind) {
  if (fields_.empty()) fields_.reserve(32);
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

void Doc::Append_Shown(std::string& out, const Field& f) {
  switch (f.kind) {
    case Kind::Text: Append_Quoted_Text(out, f.text); return;
    case Kind::Word:
    case Kind::Seconds: out += f.text; return;
    case Kind::Number: out += std::to_string(f.number); return;
    case Kind::Flag: out += f.flag ? "true" : "false"; return;
    case Kind::None:
    case Kind::Group: out += "none"; return;
    case Kind::List_Box:
      if (f.flag) {
        Append_Quoted_Text(out, f.text);
      } else {
        out += "none";
      }
      break;
    case Kind::Check_Box: out += f.flag ? "checked" : "unchecked"; break;
    case Kind::Texts:
    case Kind::Numbers: {
      const std::size_t count = f.kind == Kind::Texts ? f.texts.size() : f.numbers.size();
      if (count == 0) out += "none";
      for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += ", ";
        if (f.kind == Kind::Texts) {
          Append_Quoted_Text(out, f.texts[i]);
        } else {
          out += std::to_string(f.numbers[i]);
        }
      }
      return;
    }
  }
  if (!f.visible) out += " (hidden)";
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

namespace {

// An object with room for `fields` fields: the ordered object is a vector
// whose growth would copy every field already in it (its keys are const).
nlohmann::ordered_json Object(std::size_t fields) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  object.get_ref<nlohmann::ordered_json::object_t&>().reserve(fields);
  return object;
}

}  // namespace

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
      json box = Object(2);
      box["Text"] = f.flag ? json(Json_Text(f.text)) : json(nullptr);
      box["Visible"] = f.visible;
      return box;
    }
    case Kind::Check_Box: {
      json box = Object(2);
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
  nlohmann::ordered_json object = Object(fields_.size());
  auto& fields = object.get_ref<nlohmann::ordered_json::object_t&>();
  for (const Field& f : fields_) fields.emplace_back(f.key, Json_Value(f));
  return object;
}

void Doc::Append_Lines(std::string& out, const std::string& prefix) const {
  for (const Field& f : fields_) {
    if (f.kind == Kind::Group) {
      f.group.front().Append_Lines(out, prefix + f.key + ".");
      continue;
    }
    out += prefix;
    out += f.key;
    out += ": ";
    Append_Shown(out, f);
    out += '\n';
  }
}

std::string Doc::Lines() const {
  std::string out;
  Append_Lines(out, "");
  return out;
}

std::string Doc::Row() const {
  std::string out;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (i > 0) out += ' ';
    Append_Shown(out, fields_[i]);
  }
  out += '\n';
  return out;
}

std::string Doc::Header() const {
  std::string out;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (i > 0) out += ' ';
    out += fields_[i].key;
  }
  out += '\n';
  return out;
}

void Printer::Write_Json(const Doc& doc) {
  buffer_ = doc.Json().dump(-1, ' ', true);
  buffer_ += '\n';
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
}

void Printer::Doc_Out(const Doc& doc) {
  if (json_) {
    Write_Json(doc);
    return;
  }
  buffer_.clear();
  if (any_doc_) buffer_ += '\n';
  any_doc_ = true;
  doc.Append_Lines(buffer_, "");
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
}

void Printer::Row_Out(const Doc& row) {
  if (json_) {
    Write_Json(row);
    return;
  }
  Header_Out(row);
  buffer_ = row.Row();
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
}

void Printer::Header_Out(const Doc& row) {
  if (json_ || header_) return;
  out_ << row.Header();
  header_ = true;
}

}  // namespace stylomat::cli
