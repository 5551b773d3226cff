// stylomat-cli korv: the SuperSet operations of the KORV_form window on a
// KORV tablet (the Quorral III), without the window.
//
//   korv STEP [then STEP]... --port N [--range LOW-HIGH] [--answer yes|no]
//
// The port is searched first, as its icon does; unless the tablet found is
// one that the KORV_form window serves, nothing else happens (exit 2).
// Then the steps run in order on that one tablet, within this one run of
// the program: a simulated tablet (STYLOMAT_SIMULATE) keeps what it was
// told from one step to the next, but a new run starts with a fresh one.
// So to see a write, read it back in the same run:
//
//   korv write 95 32,40,51,07 then read 95-95 --port 1 --answer yes
//
// The steps stop at the first one that does not complete (no answer, a
// question answered No, the program's end).
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "discovery/model_table.h"
#include "discovery/port_search.h"
#include "superset/korv_form_model.h"

namespace stylomat::cli {

namespace {

constexpr const char* Usage =
    "korv STEP [then STEP]... --port N [--range LOW-HIGH]; STEP is one of: read [LOW-HIGH], "
    "write NN B0,B1,B2,B3, select NN, save-power-up [NN], restore-defaults, load";

constexpr const char* Help =
    "korv STEP [then STEP]... --port N [--range LOW-HIGH] [--answer yes|no]\n"
    "  Searches the port; the tablet must be one the KORV_form window serves (KORV, Quorral III).\n"
    "  Steps, run in order on the same tablet (words joined by \"then\"):\n"
    "    read [LOW-HIGH]        read SuperSets HIGH down to LOW (default --range, else 0-99) and print\n"
    "                           each as the tablet sent it: number and four bytes in hexadecimal\n"
    "    write NN B0,B1,B2,B3   write the record into SuperSet NN and read it back; NN is 00 (no\n"
    "                           question) or a user SuperSet 90-99 (90-98 on the Quorral III), asked\n"
    "                           as \"Save User Defined SuperSet\"\n"
    "    select NN              make SuperSet NN the one the tablet starts with after power-up\n"
    "    save-power-up [NN]     read SuperSet NN (default 00), then \"Save Power-Up Settings\": it is\n"
    "                           written into the last user SuperSet and made active; the program ends\n"
    "    restore-defaults       \"Restore Factory Settings\": factory power-up SuperSet (01), then the\n"
    "                           factory user SuperSets from the table file (two questions)\n"
    "    load                   (first step only) the window's whole loading sequence: start-up\n"
    "                           command of --command-line (\"/SS\", \"/SW\"), then the read of 0-99\n"
    "  A simulated tablet lives for one run of the program: chain the steps to keep it, e.g.\n"
    "    korv write 95 32,40,51,07 then read 95-95 --port 1 --answer yes\n"
    "  Exit status: 0 every step done, 1 the tablet did not answer or a question was answered No,\n"
    "  2 usage error, no KORV tablet on the port, or the program's end chosen after a port error.";

enum class Step_Kind { Read, Write, Select, Save_Power_Up, Restore_Defaults, Load };

struct Step {
  Step_Kind kind = Step_Kind::Read;
  int low = 0;
  int high = 99;
  int number = 0;
  bool number_given = false;
  SuperSet_Record record{};
};

std::string Hex_Bytes(const SuperSet_Record& r) { return Record_Text(r, " "); }

// "95", "5", "07": a SuperSet number 0..99.
std::optional<int> SuperSet_Number(const std::string& text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// "90-98" or "95".
std::optional<std::pair<int, int>> Range(const std::string& text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos) {
    const auto n = SuperSet_Number(text);
    if (!n) return std::nullopt;
    return std::make_pair(*n, *n);
  }
  const auto low = SuperSet_Number(text.substr(0, dash));
  const auto high = SuperSet_Number(text.substr(dash + 1));
  if (!low || !high || *low > *high) return std::nullopt;
  return std::make_pair(*low, *high);
}

int Hex_Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "32,40,51,07": four fields of one or two hexadecimal digits.
std::optional<SuperSet_Record> Record_Argument(const std::string& text) {
  SuperSet_Record record{};
  std::size_t at = 0;
  for (std::size_t k = 0; k < record.size(); ++k) {
    const std::size_t comma = text.find(',', at);
    const bool last = k + 1 == record.size();
    if (last != (comma == std::string::npos)) return std::nullopt;
    const std::string field = text.substr(at, last ? std::string::npos : comma - at);
    if (field.empty() || field.size() > 2) return std::nullopt;
    int v = 0;
    for (char c : field) {
      const int d = Hex_Digit(c);
      if (d < 0) return std::nullopt;
      v = v * 16 + d;
    }
    record[k] = static_cast<std::uint8_t>(v);
    at = comma + 1;
  }
  return record;
}

// One step from its words; an error text when they do not make one.
std::optional<Step> Parse_Step(const std::vector<std::string>& words, const std::optional<std::pair<int, int>>& range,
                               bool first, std::string& error) {
  Step step;
  const std::string& name = words.empty() ? std::string() : words[0];
  const std::size_t args = words.size() - (words.empty() ? 0 : 1);
  const auto wrong = [&](const std::string& text) -> std::optional<Step> {
    error = text;
    return std::nullopt;
  };
  if (name == "read") {
    step.kind = Step_Kind::Read;
    if (args > 1) return wrong("read takes at most one range LOW-HIGH");
    std::optional<std::pair<int, int>> r = range;
    if (args == 1) {
      r = Range(words[1]);
      if (!r) return wrong("\"" + words[1] + "\" is not a range of SuperSets LOW-HIGH within 0-99");
    }
    if (r) {
      step.low = r->first;
      step.high = r->second;
    }
    return step;
  }
  if (name == "write") {
    step.kind = Step_Kind::Write;
    if (args != 2) return wrong("write needs a SuperSet number and a record: write NN B0,B1,B2,B3");
    const auto n = SuperSet_Number(words[1]);
    if (!n || !Is_Writable_SuperSet(*n)) {
      return wrong("\"" + words[1] + "\" is not a writable SuperSet: 00 or 90 to 99");
    }
    const auto record = Record_Argument(words[2]);
    if (!record) return wrong("\"" + words[2] + "\" is not a record: four hexadecimal bytes such as 32,40,51,07");
    step.number = *n;
    step.record = *record;
    return step;
  }
  if (name == "select" || name == "save-power-up") {
    step.kind = name == "select" ? Step_Kind::Select : Step_Kind::Save_Power_Up;
    if (name == "select" && args != 1) return wrong("select needs a SuperSet number 00 to 99");
    if (args > 1) return wrong(name + " takes at most one SuperSet number");
    if (args == 1) {
      const auto n = SuperSet_Number(words[1]);
      if (!n) return wrong("\"" + words[1] + "\" is not a SuperSet number 00 to 99");
      step.number = *n;
      step.number_given = true;
    }
    return step;
  }
  if (name == "restore-defaults" || name == "load") {
    step.kind = name == "load" ? Step_Kind::Load : Step_Kind::Restore_Defaults;
    if (args != 0) return wrong(name + " takes no further words");
    if (step.kind == Step_Kind::Load && !first) return wrong("load can only be the first step");
    return step;
  }
  return wrong(name.empty() ? std::string("a step is missing around \"then\"") : "unknown step \"" + name + "\"");
}

int Exit_Status(KORV_Result r) {
  switch (r) {
    case KORV_Result::Done: return Exit_Ok;
    case KORV_Result::Not_Found:
    case KORV_Result::Declined: return Exit_Nothing;
    case KORV_Result::Refused:
    case KORV_Result::Busy:
    case KORV_Result::Ended: return Exit_Error;
  }
  return Exit_Error;
}

class Korv_Run {
 public:
  Korv_Run(Context& ctx, Session& s, KORV_Form_Model& model) : ctx_(ctx), s_(s), model_(model) {}

  KORV_Result Run(const Step& step) {
    switch (step.kind) {
      case Step_Kind::Read: return Read(step.low, step.high);
      case Step_Kind::Write: return Write(step);
      case Step_Kind::Select: return Select(step.number);
      case Step_Kind::Save_Power_Up: return Save_Power_Up(step);
      case Step_Kind::Restore_Defaults: return Restore_Defaults();
      case Step_Kind::Load: return Load();
    }
    return KORV_Result::Refused;
  }

 private:
  KORV_Protocol& korv() { return model_.Protocol(); }

  // The SuperSets of the last read as the tablet sent them, lowest first;
  // where the window shows a row re-encoded, that is said too.
  void Print_Read() {
    std::vector<KORV_Read_Record> records = korv().Last_Read();
    std::sort(records.begin(), records.end(),
              [](const KORV_Read_Record& a, const KORV_Read_Record& b) { return a.number < b.number; });
    for (const KORV_Read_Record& r : records) {
      ctx_.out() << "SuperSet " << Two_Digit_Number(r.number) << "  " << Hex_Bytes(r.record);
      const SuperSet_Record& shown = model_.Form().Table()[static_cast<std::size_t>(r.number)];
      if (shown != r.record) ctx_.out() << "  (the window shows " << Hex_Bytes(shown) << ")";
      ctx_.out() << "\n";
    }
  }

  KORV_Result Read(int low, int high) {
    const KORV_Result r = korv().Read_SuperSets(low, high);
    Print_Read();
    if (r == KORV_Result::Not_Found) ctx_.out() << "Tablet not found\n";
    return r;
  }

  KORV_Result Write(const Step& step) {
    const int n = step.number;
    if (n != 0 && n > korv().Last_User_SuperSet()) {
      ctx_.err() << "stylomat-cli: SuperSet " << n << " is reserved on the " << Shown(s_.identity.Model_Name) << "\n";
      return KORV_Result::Refused;
    }
    SuperSet_Form& form = model_.Form();
    KORV_Result r;
    if (n == 0) {
      form.Table()[0] = step.record;
      r = korv().Write_SuperSet(0, 0);
    } else {
      // As in the window: the user SuperSet is selected, its record edited,
      // then "Save User Defined SuperSet".  The record goes out as given.
      form.Select_SuperSet(n);
      form.Table()[static_cast<std::size_t>(n)] = step.record;
      r = korv().Save_User();
    }
    if (r == KORV_Result::Declined) return r;
    ctx_.out() << "Wrote SuperSet " << Two_Digit_Number(n) << ": " << Hex_Bytes(step.record) << "; read back:\n";
    Print_Read();
    if (r == KORV_Result::Not_Found) ctx_.out() << "Tablet not found\n";
    return r;
  }

  KORV_Result Select(int n) {
    const KORV_Result r = korv().Select_SuperSet(n);
    if (r == KORV_Result::Done) ctx_.out() << "SuperSet " << Two_Digit_Number(n) << " is the power-up SuperSet\n";
    return r;
  }

  KORV_Result Save_Power_Up(const Step& step) {
    const int n = step.number_given ? step.number : 0;
    const KORV_Result read = Read(n, n);
    if (read != KORV_Result::Done) return read;
    const int last = korv().Last_User_SuperSet();
    const KORV_Result r = korv().Save_Power_Up();
    if (r == KORV_Result::Declined) return r;
    ctx_.out() << "Saved SuperSet " << Two_Digit_Number(n) << " as the power-up settings in SuperSet "
               << Two_Digit_Number(last) << "; read back:\n";
    Print_Read();
    return r;
  }

  KORV_Result Restore_Defaults() {
    const KORV_Result r = korv().Restore_Defaults();
    if (!korv().Last_Read().empty()) {
      ctx_.out() << "User SuperSets read back:\n";
      Print_Read();
    }
    return r;
  }

  KORV_Result Load() {
    const Config_Load_Result loaded = model_.Load();
    if (loaded == Config_Load_Result::Ended) {
      ctx_.out() << "A start-up command ran\n";
      Print_Read();
      return s_.Dialog_Answer == Dialog_No ? KORV_Result::Ended : KORV_Result::Done;
    }
    Print_Read();
    return korv().Last_Read().size() == 100 ? KORV_Result::Done : KORV_Result::Not_Found;
  }

  Context& ctx_;
  Session& s_;
  KORV_Form_Model& model_;
};

}  // namespace

int Cmd_Korv(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.empty() || o.positional[0] == "help") {
    if (o.positional.empty()) return ctx.Usage_Error(Usage);
    ctx.out() << Help << "\n";
    return Exit_Ok;
  }
  std::optional<std::pair<int, int>> range;
  if (const auto text = o.Value("range")) {
    range = Range(*text);
    if (!range) return ctx.Usage_Error("--range must be LOW-HIGH within 0-99, not \"" + *text + "\"");
  }
  // Every step is checked before the port is touched.
  std::vector<Step> steps;
  std::vector<std::string> words;
  for (std::size_t i = 0; i <= o.positional.size(); ++i) {
    if (i < o.positional.size() && o.positional[i] != "then") {
      words.push_back(o.positional[i]);
      continue;
    }
    std::string error;
    const auto step = Parse_Step(words, range, steps.empty(), error);
    if (!step) return ctx.Usage_Error(error + " (usage: " + Usage + ")");
    steps.push_back(*step);
    words.clear();
  }
  const auto port = ctx.Port_Option();
  if (!port) return Exit_Error;
  Session* s = ctx.Start();
  if (!s) return Exit_Error;

  Port_Icon_Command(*s, *port);
  if (s->Search_Status != 0 || !s->port.PortOpen()) {
    (void)Report_No_Tablet(ctx, *s, *port, "korv needs a KORV tablet (KORV, Quorral III)");
    return Exit_Error;
  }
  if (Config_Window_For(s->identity.Model_Name) != Config_Window::KORV_form) {
    ctx.err() << "stylomat-cli: the tablet on COM" << *port << " is \"" << Shown(s->identity.Model_Name)
              << "\", which the KORV_form window does not serve; korv needs a KORV tablet (KORV, Quorral III)\n";
    return Exit_Error;
  }
  ctx.out() << "Found " << Shown(s->identity.Model_Name) << " on COM" << *port << "\n";

  KORV_Form_Model model(*s);
  if (steps.front().kind != Step_Kind::Load) model.Prepare();
  Korv_Run run(ctx, *s, model);
  for (const Step& step : steps) {
    const KORV_Result r = run.Run(step);
    if (r != KORV_Result::Done || s->End_Requested) {
      if (s->End_Requested) ctx.out() << "The program ends\n";
      return r == KORV_Result::Done ? Exit_Ok : Exit_Status(r);
    }
  }
  return Exit_Ok;
}

}  // namespace stylomat::cli
