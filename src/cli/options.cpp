#include <sys/stat.h>

#include <cerrno>
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
      "debug", "oem", "help", "version", "all",
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

void Print_Log_Lines(std::ostream& out, const std::string& log) {
  if (log.empty()) return;
  out << "Traffic log:\n";
  std::string line;
  for (char c : log) {
    if (c == '\r') {
      out << "  " << Shown(line) << '\n';
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) out << "  " << Shown(line) << '\n';
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

}  // namespace stylomat::cli
