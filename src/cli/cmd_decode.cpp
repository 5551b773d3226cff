// stylomat-cli decode: decodes a captured report stream of one family, one
// row a report (Cur_X Cur_Y In_Prox Button_Code Pressure Cursor_Code: the
// report state's fields after each report).  How many reports came and how
// many bytes were left undecoded at the end goes to standard error, or
// with --json into a last object, {"Summary": {...}}.  Needs no port.
#include <array>
#include <fstream>

#include "cli/cli.h"
#include "reports/report_decoders.h"

namespace stylomat::cli {

namespace {

constexpr std::size_t Read_Chunk = 4096;

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

Doc Report_Row(const Current_Report_State& r) {
  Doc row;
  row.Number("Cur_X", r.Cur_X);
  row.Number("Cur_Y", r.Cur_Y);
  row.Flag("In_Prox", r.In_Prox);
  row.Number("Button_Code", r.Button_Code);
  row.Number("Pressure", r.Pressure);
  row.Number("Cursor_Code", r.Cursor_Code);
  return row;
}

}  // namespace

int Cmd_Decode(Context& ctx) {
  const Options& o = ctx.options();
  const auto format = o.Value("format");
  if (!format) return ctx.Usage_Error("decode needs --format superset|kv|uiof|pnp|type5");
  if (o.positional.size() > 1) return ctx.Usage_Error("decode reads one file (or standard input without one)");

  Offline_Session offline;
  Session& s = offline.s;
  if (!Select_Family(s.identity, *format)) {
    return ctx.Usage_Error("--format must be superset, kv, uiof, pnp or type5, not " + Quoted_Text(*format));
  }
  if (auto text = o.Value("cursor-text")) s.reports.Sel_Zelta_Cursor = *text;

  std::ifstream file;
  std::istream* in = &ctx.in();
  if (!o.positional.empty() && o.positional.front() != "-") {
    file.open(o.positional.front(), std::ios::binary);
    if (!file) return ctx.Usage_Error("cannot read " + Quoted_Text(o.positional.front()));
    in = &file;
  }

  std::string& buffer = s.reports.Report_Buffer;
  buffer.reserve(Read_Chunk + 16);
  std::array<char, Read_Chunk> chunk{};
  long long decoded = 0;
  long long bytes = 0;
  ctx.printer().Header_Out(Report_Row(s.reports.Current_Report));
  while (true) {
    in->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const std::streamsize got = in->gcount();
    if (got <= 0) break;
    bytes += got;
    buffer.append(chunk.data(), static_cast<std::size_t>(got));
    while (Buffer_Holds_Packet(s.identity, s.reports)) {
      if (Decode_Report(s.reports, s.identity).packets == 0) break;
      ++decoded;
      ctx.printer().Row_Out(Report_Row(s.reports.Current_Report));
    }
  }
  if (in->bad()) return ctx.Usage_Error("reading the report stream failed");
  if (ctx.printer().Json()) {
    Doc counts;
    counts.Number("Bytes", bytes);
    counts.Number("Reports", decoded);
    counts.Number("Undecoded_Bytes", static_cast<long long>(buffer.size()));
    ctx.printer().Doc_Out(Doc().Group("Summary", std::move(counts)));
  } else {
    ctx.err() << "stylomat-cli: " << bytes << " bytes, " << decoded << " reports, " << buffer.size()
              << " bytes left undecoded\n";
  }
  // A stream with bytes but not one report is no stream of this family.
  return decoded > 0 || bytes == 0 ? Exit_Ok : Exit_Nothing;
}

}  // namespace stylomat::cli
