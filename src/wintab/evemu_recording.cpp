#include "wintab/evemu_recording.h"

#include <linux/input.h>
#include <sys/stat.h>

#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace stylomat {

namespace {

// The highest code of each event type the device bits may name.
unsigned Max_Code(unsigned type) {
  switch (type) {
    case EV_SYN: return EV_MAX;
    case EV_KEY: return KEY_MAX;
    case EV_REL: return REL_MAX;
    case EV_ABS: return ABS_MAX;
    case EV_MSC: return MSC_MAX;
    case EV_SW: return SW_MAX;
    case EV_LED: return LED_MAX;
    case EV_SND: return SND_MAX;
    case EV_REP: return REP_MAX;
    case EV_FF: return FF_MAX;
    default: return 0;
  }
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

template <typename T>
bool Parse_Int(const std::string& word, T& value, int base = 10) {
  const char* end = word.data() + word.size();
  const auto [ptr, ec] = std::from_chars(word.data(), end, value, base);
  return ec == std::errc() && ptr == end && !word.empty();
}

class Parser {
 public:
  Parser(const std::string& source, const Evemu_Limits& limits) : limits_(limits) {
    const std::size_t slash = source.find_last_of('/');
    result_.recording.Device.Node = "recording " + (slash == std::string::npos ? source : source.substr(slash + 1));
  }

  Evemu_Result Run(const std::string& text) {
    if (text.size() > limits_.Max_Bytes) return Fail("the recording is larger than " + std::to_string(limits_.Max_Bytes) + " bytes");
    std::size_t start = 0;
    while (start < text.size() && result_.error.empty()) {
      ++line_;
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      if (end - start > limits_.Max_Line) {
        return Fail("the line is longer than " + std::to_string(limits_.Max_Line) + " characters");
      }
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Line(line);
      start = end + 1;
    }
    if (!result_.error.empty()) return result_;
    if (!named_) {
      line_ = 0;
      return Fail("no device name (N: line): this is not an evemu recording");
    }
    result_.ok = true;
    return result_;
  }

 private:
  Evemu_Result Fail(const std::string& message) {
    result_.ok = false;
    result_.error = line_ > 0 ? "line " + std::to_string(line_) + ": " + message : message;
    return result_;
  }

  void Line(const std::string& line) {
    if (line.empty() || line[0] == '#') return;
    if (line.size() < 2 || line[1] != ':') {
      Fail("expected a line starting with N:, I:, P:, B:, A: or E:");
      return;
    }
    const char kind = line[0];
    std::string rest = line.substr(2);
    if (kind == 'N') return Name(rest);
    // Everything after "#" is a comment (evemu-record names the events so).
    if (const std::size_t hash = rest.find('#'); hash != std::string::npos) rest.resize(hash);
    const std::vector<std::string> w = Words(rest);
    switch (kind) {
      case 'I': return Identity(w);
      case 'P': return Properties(w);
      case 'B': return Bits(w);
      case 'A': return Axis(w);
      case 'E': return Event(w);
      case 'L':
      case 'S': return;  // LEDs and switches: nothing a tablet driver reads
      default: Fail(std::string("unknown line kind \"") + kind + ":\"");
    }
  }

  void Name(std::string rest) {
    const std::size_t first = rest.find_first_not_of(" \t");
    rest = first == std::string::npos ? std::string() : rest.substr(first);
    for (char& c : rest) {
      if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    if (rest.empty()) {
      Fail("the device name is empty");
      return;
    }
    result_.recording.Device.Name = rest.substr(0, 255);
    named_ = true;
  }

  void Identity(const std::vector<std::string>& w) {
    std::uint16_t v[4];
    if (w.size() != 4) {
      Fail("an I: line needs four hexadecimal numbers (bus, vendor, product, version)");
      return;
    }
    for (int i = 0; i < 4; ++i) {
      if (!Parse_Int(w[static_cast<std::size_t>(i)], v[i], 16)) {
        Fail("\"" + w[static_cast<std::size_t>(i)] + "\" is not a hexadecimal number from 0 to ffff");
        return;
      }
    }
    Input_Device_Description& d = result_.recording.Device;
    d.Bustype = v[0];
    d.Vendor = v[1];
    d.Product = v[2];
    d.Version = v[3];
  }

  bool Byte(const std::string& word, unsigned& value) {
    if (word.size() > 2 || !Parse_Int(word, value, 16)) {
      Fail("\"" + word + "\" is not a byte in hexadecimal");
      return false;
    }
    return true;
  }

  void Properties(const std::vector<std::string>& w) {
    for (const std::string& word : w) {
      unsigned byte = 0;
      if (!Byte(word, byte)) return;
      for (unsigned bit = 0; bit < 8; ++bit) {
        const unsigned code = property_byte_ * 8 + bit;
        if ((byte >> bit) & 1u) {
          if (code > INPUT_PROP_MAX) {
            Fail("property " + std::to_string(code) + " is beyond the last one the kernel knows");
            return;
          }
          result_.recording.Device.Properties.insert(code);
        }
      }
      ++property_byte_;
    }
  }

  void Bits(const std::vector<std::string>& w) {
    if (w.empty()) {
      Fail("a B: line needs an event type and its bit bytes");
      return;
    }
    unsigned type = 0;
    if (!Byte(w[0], type)) return;
    if (type > EV_MAX) {
      Fail("event type " + std::to_string(type) + " is beyond the last one the kernel knows");
      return;
    }
    unsigned& next = bit_bytes_[type];
    Input_Device_Description& d = result_.recording.Device;
    for (std::size_t i = 1; i < w.size(); ++i) {
      unsigned byte = 0;
      if (!Byte(w[i], byte)) return;
      for (unsigned bit = 0; bit < 8; ++bit) {
        if (((byte >> bit) & 1u) == 0) continue;
        const unsigned code = next * 8 + bit;
        if (code > Max_Code(type)) {
          Fail("code " + std::to_string(code) + " of event type " + std::to_string(type) + " is beyond the last one the kernel knows");
          return;
        }
        if (type == EV_SYN) d.Event_Types.insert(code);
        if (type == EV_KEY) d.Keys.insert(code);
        if (type == EV_ABS && !d.Abs.count(code)) d.Abs[code] = Input_Absinfo{};
      }
      ++next;
    }
  }

  void Axis(const std::vector<std::string>& w) {
    if (w.size() < 5 || w.size() > 6) {
      Fail("an A: line needs an axis code and its minimum, maximum, fuzz, flat and resolution");
      return;
    }
    unsigned code = 0;
    if (!Byte(w[0], code)) return;
    if (code > ABS_MAX) {
      Fail("axis " + std::to_string(code) + " is beyond the last one the kernel knows");
      return;
    }
    std::int32_t v[5] = {0, 0, 0, 0, 0};
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (!Parse_Int(w[i], v[i - 1])) {
        Fail("\"" + w[i] + "\" is not a whole number");
        return;
      }
    }
    if (v[0] > v[1]) {
      Fail("the axis minimum " + std::to_string(v[0]) + " is above its maximum " + std::to_string(v[1]));
      return;
    }
    if (v[4] < 0) {
      Fail("the axis resolution is negative");
      return;
    }
    Input_Absinfo& a = result_.recording.Device.Abs[code];
    a.minimum = v[0];
    a.maximum = v[1];
    a.fuzz = v[2];
    a.flat = v[3];
    a.resolution = v[4];
    a.value = v[0];
    result_.recording.Device.Event_Types.insert(EV_ABS);
  }

  void Event(const std::vector<std::string>& w) {
    if (w.size() != 4) {
      Fail("an E: line needs a time, an event type, a code and a value");
      return;
    }
    if (result_.recording.Events.size() >= limits_.Max_Events) {
      Fail("more than " + std::to_string(limits_.Max_Events) + " events");
      return;
    }
    const std::size_t dot = w[0].find('.');
    std::int64_t seconds = 0, micros = 0;
    const std::string sec_text = w[0].substr(0, dot);
    const std::string usec_text = dot == std::string::npos ? "0" : w[0].substr(dot + 1);
    if (!Parse_Int(sec_text, seconds) || seconds < 0 || seconds > 100000000 || usec_text.size() > 6 ||
        !Parse_Int(usec_text, micros) || micros < 0) {
      Fail("\"" + w[0] + "\" is not a time in seconds and microseconds (sec.usec)");
      return;
    }
    for (std::size_t n = usec_text.size(); n < 6; ++n) micros *= 10;
    Input_Event e;
    e.Micros = seconds * 1000000 + micros;
    unsigned type = 0, code = 0;
    if (!Parse_Int(w[1], type, 16) || type > EV_MAX || !Parse_Int(w[2], code, 16) || code > KEY_MAX) {
      Fail("\"" + w[1] + " " + w[2] + "\" is not an event type and code the kernel knows");
      return;
    }
    if (!Parse_Int(w[3], e.Value)) {
      Fail("\"" + w[3] + "\" is not a whole number");
      return;
    }
    e.Type = static_cast<std::uint16_t>(type);
    e.Code = static_cast<std::uint16_t>(code);
    auto& events = result_.recording.Events;
    if (events.empty()) {
      first_micros_ = e.Micros;
    } else if (e.Micros < first_micros_ + events.back().Micros) {
      Fail("the time goes backwards");
      return;
    }
    e.Micros -= first_micros_;
    events.push_back(e);
  }

  const Evemu_Limits& limits_;
  Evemu_Result result_;
  std::size_t line_ = 0;
  bool named_ = false;
  unsigned property_byte_ = 0;
  unsigned bit_bytes_[EV_MAX + 1] = {};
  std::int64_t first_micros_ = 0;
};

}  // namespace

Evemu_Result Parse_Evemu(const std::string& text, const std::string& source, const Evemu_Limits& limits) {
  return Parser(source, limits).Run(text);
}

Evemu_Result Read_Evemu_File(const std::string& path, const Evemu_Limits& limits) {
  Evemu_Result r;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    r.error = path + ": no such recording";
    return r;
  }
  if (!S_ISREG(st.st_mode)) {
    r.error = path + ": not a regular file";
    return r;
  }
  if (static_cast<std::uint64_t>(st.st_size) > limits.Max_Bytes) {
    r.error = path + ": the recording is larger than " + std::to_string(limits.Max_Bytes) + " bytes";
    return r;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    r.error = path + ": cannot be read";
    return r;
  }
  std::string text;
  text.resize(static_cast<std::size_t>(st.st_size));
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  r = Parse_Evemu(text, path);
  if (!r.ok) r.error = path + ": " + r.error;
  return r;
}

}  // namespace stylomat
