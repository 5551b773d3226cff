#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <set>
#include <string_view>

#include "cli/cli.h"
#include "platform/printable_text.h"

namespace stylomat::cli {

bool Is_Flag_Option(const std::string& name) {
  static const std::set<std::string> flags = {
      "debug", "oem", "help", "version", "all", "json",
      "parallel",  // search --all: every port at once
      "type5",  // identify: the identification is a Type-5 version answer
      "temporary", "power-up",  // settings: how a change is saved
  };
  return flags.count(name) != 0;
}

bool Listed(const char* list, const std::string& name) {
  std::string_view rest(list);
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    if (!word.empty() && word == name) return true;
    if (blank == std::string_view::npos) break;
    rest.remove_prefix(blank + 1);
  }
  return false;
}

bool Log_File_Writable(const std::string& path, std::string& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    why = "it is a directory";
    return false;
  }
  const std::string temp = path + ".tmp";
  const bool existed = ::stat(temp.c_str(), &st) == 0;
  errno = 0;
  std::ofstream probe(temp, std::ios::binary | std::ios::app);
  if (!probe) {
    why = errno != 0 ? std::strerror(errno) : "it cannot be created";
    return false;
  }
  probe.close();
  if (!existed) std::remove(temp.c_str());
  return true;
}

std::vector<std::string> Log_Lines(const std::string& log) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : log) {
    if (c == '\r') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Shown(const std::string& text) { return Printable_Text(text); }

std::string Shown_Lines(const std::string& text) { return Printable_Lines(text); }

int Report_No_Tablet(Context& ctx, const Session& s, int port, const std::string& needs) {
  const std::string com = "COM" + std::to_string(port);
  if (s.Search_Status == -2) {
    // What the main window's message says, its reason included.
    ctx.err() << "stylomat-cli: port error on " << com << ": " << Shown_Lines(s.main.ErrorMsg.text) << "\n";
  } else {
    ctx.err() << "stylomat-cli: no tablet answered on " << com << "\n";
  }
  if (!needs.empty()) ctx.err() << "stylomat-cli: " << needs << "\n";
  return s.Search_Status == -2 ? Exit_Error : Exit_Nothing;
}

std::optional<std::string> Window_Message(const Session& s) {
  if (!s.main.ErrorMsg.visible) return std::nullopt;
  return s.main.ErrorMsg.text;
}

bool Window_Option(Context& ctx, std::initializer_list<Config_Window> allowed, bool needed,
                   std::optional<Config_Window>& window) {
  std::string names;
  std::size_t i = 0;
  for (Config_Window w : allowed) {
    if (i > 0) names += i + 1 == allowed.size() ? " or " : ", ";
    names += Config_Window_Name(w);
    ++i;
  }
  const auto given = ctx.options().Value("window");
  if (!given) {
    if (!needed) return true;
    ctx.Usage_Error("--window " + names + " is needed (see --help)");
    return false;
  }
  const auto parsed = Parse_Config_Window(*given);
  for (Config_Window w : allowed) {
    if (parsed && *parsed == w) {
      window = w;
      return true;
    }
  }
  ctx.Usage_Error("--window must be " + names + ", not \"" + Shown(*given) + "\"");
  return false;
}

bool Seconds_Option(Context& ctx, bool needed, double& seconds) {
  constexpr double Longest = 24.0 * 3600.0;
  const auto text = ctx.options().Value("seconds");
  if (!text) {
    if (needed) ctx.Usage_Error("--seconds S is needed (how long it runs)");
    return !needed;
  }
  double value = 0;
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value);
  if (ec != std::errc() || ptr != end || !(value > 0) || value > Longest) {
    ctx.Usage_Error("--seconds must be a number of seconds above 0 and at most 86400, not " + Quoted_Text(*text));
    return false;
  }
  seconds = value;
  return true;
}

Doc Tablet_Found(const Session& s, int port) {
  Doc doc;
  doc.Word("Port", "COM" + std::to_string(port));
  doc.Text("Model_Name", s.identity.Model_Name);
  return doc;
}

}  // namespace stylomat::cli
