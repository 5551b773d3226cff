#include "serial/log_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/traffic_log.h"

namespace stylomat {

namespace {

// Windows-1252 characters of the bytes 0x80-0x9F; U+FFFD where the code
// page assigns nothing.
constexpr std::array<char16_t, 32> Cp1252_High = {
    u'\u20AC', u'\uFFFD', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\uFFFD', u'\u017D', u'\uFFFD',
    u'\uFFFD', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\uFFFD', u'\u017E', u'\u0178'};

void Append_Utf8(std::string& out, char16_t c) {
  const unsigned v = c;
  if (v < 0x80) {
    out += static_cast<char>(v);
  } else if (v < 0x800) {
    out += static_cast<char>(0xC0 | (v >> 6));
    out += static_cast<char>(0x80 | (v & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (v >> 12));
    out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (v & 0x3F));
  }
}

bool Ends_With_Txt(std::string_view path) {
  if (path.size() < 4) return false;
  std::string_view tail = path.substr(path.size() - 4);
  const char* want = ".txt";
  for (int i = 0; i < 4; ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != want[i]) return false;
  }
  return true;
}

std::string Errno_Text(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool Write_All(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

char16_t Shown_Char(unsigned char byte) {
  if (byte < 0x20) return static_cast<char16_t>(0x2400 + byte);
  if (byte < 0x7F) return static_cast<char16_t>(byte);
  if (byte == 0x7F) return u'\u2421';
  if (byte < 0xA0) return Cp1252_High[byte - 0x80];
  return static_cast<char16_t>(byte);
}

std::string Default_Log_File_Name(int year, int month, int day) {
  return "PRX Debug " + std::to_string(month) + "-" + std::to_string(day) + "-" + std::to_string(year) + ".rtf";
}

Log_File_Format Choose_Log_File_Format(std::string_view path, std::string_view selected_filter) {
  if (selected_filter == Txt_Filter || Ends_With_Txt(path)) return Log_File_Format::Plain_Text;
  return Log_File_Format::Rich_Text;
}

std::string Complete_Log_File_Name(std::string_view path, Log_File_Format format) {
  std::string name(path);
  const std::filesystem::path p(name);
  if (p.has_filename() && !p.has_extension()) name += format == Log_File_Format::Plain_Text ? ".txt" : ".rtf";
  return name;
}

std::string Log_As_Shown_Text(std::string_view log, std::string_view line_end) {
  std::string out;
  out.reserve(log.size() + log.size() / 8);
  for (char c : log) {
    if (c == CR) {
      out.append(line_end);
      continue;
    }
    Append_Utf8(out, Shown_Char(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Log_As_Rtf(std::string_view log) {
  static const char Hex[] = "0123456789abcdef";
  std::string out =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\n"
      "\\f0\\fs20 ";
  out.reserve(out.size() + log.size() + log.size() / 4 + 8);
  for (char c : log) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == CR) {
      out += "\\par\n";
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      out += "\\'";
      out += Hex[byte >> 4];
      out += Hex[byte & 0x0F];
    }
  }
  out += "}\n";
  return out;
}

bool Write_File_Atomically(const std::string& path, std::string_view bytes, std::string& error) {
  error.clear();
  if (path.empty()) {
    error = "no file name";
    return false;
  }
  const std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');

  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = Errno_Text("cannot create a file in that folder");
    return false;
  }
  // A saved log replaces an old one with the old one's permissions; a new
  // file is readable by everyone, as an editor would leave it.
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;

  bool ok = Write_All(fd, bytes);
  if (!ok) error = Errno_Text("writing failed");
  if (ok && ::fchmod(fd, mode) != 0) {
    ok = false;
    error = Errno_Text("cannot set the file's permissions");
  }
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = Errno_Text("writing failed");
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = Errno_Text("writing failed");
  }
  if (ok && std::rename(temp.data(), path.c_str()) != 0) {
    ok = false;
    error = Errno_Text("cannot replace the file");
  }
  if (!ok) ::unlink(temp.data());
  return ok;
}

bool Save_Log_File(std::string_view log, const std::string& path, Log_File_Format format, std::string& error) {
  const std::string content = format == Log_File_Format::Plain_Text ? Log_As_Shown_Text(log) : Log_As_Rtf(log);
  return Write_File_Atomically(path, content, error);
}

}  // namespace stylomat
