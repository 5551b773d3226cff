// stylomat-cli switches: the switch-bank model of the Pallivant V and
// Velliscope III tablets, without a tablet.
//
//   switches decode R1,R2,R3,R4,R5,R6,R7 [--family Pv5|VSIII]
//       decodes a settings image as the configuration window does after
//       loading the factory pattern: prints the three banks, every setting
//       as the window shows it, and the image the switches encode back to.
//   switches factory --family Pv5|VSIII
//       prints the factory banks, settings and image.
// Needs no port.
#include <iomanip>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "switchbank/switch_bank_form.h"
#include "switchbank/switch_protocol.h"

namespace stylomat::cli {

namespace {

constexpr const char* Usage =
    "switches decode R1,R2,R3,R4,R5,R6,R7 [--family Pv5|VSIII] | switches factory --family Pv5|VSIII";

constexpr Setting Shown_Order[] = {
    Setting::CmbBaud, Setting::CmbParity, Setting::Cmbdatabits, Setting::CmbStopBits,
    Setting::CmbMode, Setting::CmbRes,    Setting::CmbEmu,      Setting::CmbFormat,
    Setting::ChkLF,   Setting::ChkBeeper, Setting::ChkProx,     Setting::ChkEcho,
};

int Hex_Value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "CE,1F,4D,61,0,C,23": one to seven fields of one or two hexadecimal
// digits, rewritten as the tablet writes them ("CE,1F,4D,61,00,0C,23").
// Fields not given are left out, so they read as 0 like a short reply.
std::optional<std::string> Image_Argument(const std::string& text) {
  std::string out;
  int fields = 0;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = text.find(',', at);
    const std::string field = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    if (field.empty() || field.size() > 2 || ++fields > 7) return std::nullopt;
    int value = 0;
    for (char c : field) {
      const int d = Hex_Value(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + d;
    }
    if (!out.empty()) out += ',';
    static constexpr char digits[] = "0123456789ABCDEF";
    out += digits[value / 16];
    out += digits[value % 16];
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return out;
}

std::string Caption_Text(const char* caption) {
  std::string text;
  for (const char* p = caption; *p; ++p) {
    if (*p != '&') text += *p;
  }
  return text;
}


void Print_Form(std::ostream& out, const Switch_Bank_Form& form) {
  out << "Window " << Config_Window_Name(form.Window()) << " (" << form.Variant().caption << ")\n";
  out << "          1 2 3 4 5 6 7 8\n";
  const char* labels[3] = {"Switch A", "Switch B", "Switch C"};
  for (int bank = 0; bank < 3; ++bank) {
    out << labels[bank] << ' ';
    for (int n = 1; n <= 8; ++n) {
      const int v = form.Switch(static_cast<Bank>(bank), n);
      out << ' ' << (v == Switch_Absent ? '-' : static_cast<char>('0' + v));
    }
    out << '\n';
  }
  for (Setting id : Shown_Order) {
    const Setting_Box& box = form.Box(id);
    const std::string shown =
        box.Is_Check() ? (box.value == 1 ? "checked" : "unchecked") : "\"" + form.Shown(id) + "\"";
    out << std::left << std::setw(12) << box.name << std::setw(17) << Caption_Text(box.caption) << shown << '\n';
  }
  out << "Format code " << form.Format_Code() << '\n';
  out << "Image " << form.Switch_Image_Text() << '\n';
}

std::optional<Config_Window> Family_Option(Context& ctx, bool& bad) {
  bad = false;
  const auto name = ctx.options().Value("family");
  if (!name) return std::nullopt;
  const auto family = Parse_Config_Window(*name);
  if (!family || !Is_Switch_Window(*family)) {
    bad = true;
    return std::nullopt;
  }
  return family;
}

int Decode(Context& ctx, Session& s) {
  const Options& o = ctx.options();
  if (o.positional.size() != 2) return ctx.Usage_Error("switches decode needs one image: R1,R2,R3,R4,R5,R6,R7");
  const auto reply = Image_Argument(o.positional[1]);
  if (!reply) {
    return ctx.Usage_Error("\"" + o.positional[1] +
                           "\" is not an image: up to seven hexadecimal bytes such as CE,1F,4D,61,00,0C,23");
  }
  bool bad = false;
  const Config_Window family = Family_Option(ctx, bad).value_or(Config_Window::Pv5);
  if (bad) return ctx.Usage_Error("--family must be Pv5 or VSIII");

  // As the window opens: the factory pattern first, then the tablet's reply.
  Switch_Bank_Form form(family);
  form.Load_Factory_Switches();
  Decode_Switch_Report(s, form, *reply);
  ctx.out() << "Reply " << *reply << '\n';
  Print_Form(ctx.out(), form);
  Print_Log_Lines(ctx.out(), s.log.Text());
  return Exit_Ok;
}

int Factory(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 1) return ctx.Usage_Error("switches factory takes no further words");
  bool bad = false;
  const auto family = Family_Option(ctx, bad);
  if (bad || !family) return ctx.Usage_Error("switches factory needs --family Pv5 or --family VSIII");
  Switch_Bank_Form form(*family);
  form.Load_Factory_Switches();
  Print_Form(ctx.out(), form);
  return Exit_Ok;
}

}  // namespace

int Cmd_Switches(Context& ctx) {
  const auto& words = ctx.options().positional;
  if (words.empty()) return ctx.Usage_Error(Usage);

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  s.Debug_Mode = ctx.options().debug;
  s.OEM_Mode = ctx.options().oem;

  if (words[0] == "decode") return Decode(ctx, s);
  if (words[0] == "factory") return Factory(ctx);
  return ctx.Usage_Error(Usage);
}

}  // namespace stylomat::cli
