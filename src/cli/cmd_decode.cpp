// stylomat-cli decode: decodes a captured report stream of one family and
// prints one line per report, "x y prox button pressure cursor", then how
// many bytes were left undecoded at the end.  Needs no port.
#include <array>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/cli.h"
#include "reports/report_decoders.h"

namespace stylomat::cli {

namespace {

constexpr std::size_t Read_Chunk = 1024;

bool Select_Family(Tablet_Identity& id, const std::string& format) {
  if (format == "superset") {
    id.SuperSet_Format = true;
  } else if (format == "kv") {
    id.KV_Format = true;
  } else if (format == "uiof") {
    id.UIOF_Format = true;
  } else if (format == "pnp") {
    id.PnP_Format = true;
  } else if (format == "type5") {
    id.Type5_Format = true;
  } else {
    return false;
  }
  return true;
}

void Print_Report(std::ostream& out, const Current_Report_State& r) {
  out << r.Cur_X << ' ' << r.Cur_Y << ' ' << (r.In_Prox ? 1 : 0) << ' ' << r.Button_Code << ' ' << r.Pressure << ' '
      << r.Cursor_Code << '\n';
}

struct File_Closer {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

}  // namespace

int Cmd_Decode(Context& ctx) {
  const Options& o = ctx.options();
  const auto format = o.Value("format");
  if (!format) return ctx.Usage_Error("decode needs --format superset|kv|uiof|pnp|type5");
  if (o.positional.size() > 1) return ctx.Usage_Error("decode reads one file (or standard input without one)");

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  if (!Select_Family(s.identity, *format)) {
    return ctx.Usage_Error("--format must be superset, kv, uiof, pnp or type5, not \"" + *format + "\"");
  }
  if (auto text = o.Value("cursor-text")) s.reports.Sel_Zelta_Cursor = *text;

  std::unique_ptr<std::FILE, File_Closer> owned;
  std::FILE* in = stdin;
  if (!o.positional.empty()) {
    owned.reset(std::fopen(o.positional.front().c_str(), "rb"));
    if (!owned) return ctx.Usage_Error("cannot read \"" + o.positional.front() + "\"");
    in = owned.get();
  }

  std::string& buffer = s.reports.Report_Buffer;
  buffer.reserve(Read_Chunk + 16);
  std::array<char, Read_Chunk> chunk{};
  long decoded = 0;
  while (true) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
    if (got == 0) break;
    buffer.append(chunk.data(), got);
    while (Buffer_Holds_Packet(s.identity, s.reports)) {
      if (Decode_Report(s.reports, s.identity).packets == 0) break;
      ++decoded;
      Print_Report(ctx.out(), s.reports.Current_Report);
    }
  }
  if (std::ferror(in)) return ctx.Usage_Error("reading the report stream failed");
  ctx.out() << "undecoded bytes: " << buffer.size() << "\n";
  return decoded > 0 ? Exit_Ok : Exit_Nothing;
}

}  // namespace stylomat::cli
