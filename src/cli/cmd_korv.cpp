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
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/inputs.h"
#include "discovery/model_table.h"
#include "discovery/port_search.h"
#include "superset/korv_form_model.h"

namespace stylomat::cli {

namespace {

constexpr const char* Usage =
    "korv STEP [then STEP]... --port N; STEP is one of: read [LOW-HIGH], write NN B0,B1,B2,B3, select NN, "
    "save-power-up [NN], restore-defaults, load (see stylomat-cli korv --help)";

enum class Step_Kind { Read, Write, Select, Save_Power_Up, Restore_Defaults, Load };

struct Step {
  Step_Kind kind = Step_Kind::Read;
  int low = 0;
  int high = 99;
  int number = 0;
  bool number_given = false;
  SuperSet_Record record{};
};

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

const char* Result_Word(KORV_Result r) {
  switch (r) {
    case KORV_Result::Done: return "Done";
    case KORV_Result::Not_Found: return "Not_Found";
    case KORV_Result::Declined: return "Declined";
    case KORV_Result::Refused: return "Refused";
    case KORV_Result::Busy: return "Busy";
    case KORV_Result::Ended: return "Ended";
  }
  return "Refused";
}

const char* Step_Name(Step_Kind kind) {
  switch (kind) {
    case Step_Kind::Read: return "read";
    case Step_Kind::Write: return "write";
    case Step_Kind::Select: return "select";
    case Step_Kind::Save_Power_Up: return "save-power-up";
    case Step_Kind::Restore_Defaults: return "restore-defaults";
    case Step_Kind::Load: return "load";
  }
  return "";
}

// Runs the steps; each step's result is a Doc: Step, what it was given,
// what it read (SuperSets) or read back (Read_Back), and Result.
class Korv_Run {
 public:
  Korv_Run(Context& ctx, Session& s, KORV_Form_Model& model) : ctx_(ctx), s_(s), model_(model) {}

  KORV_Result Run(const Step& step, Doc& doc) {
    doc.Word("Step", Step_Name(step.kind));
    switch (step.kind) {
      case Step_Kind::Read: return Read(step.low, step.high, doc, "SuperSets");
      case Step_Kind::Write: return Write(step, doc);
      case Step_Kind::Select: return Select(step.number, doc);
      case Step_Kind::Save_Power_Up: return Save_Power_Up(step, doc);
      case Step_Kind::Restore_Defaults: return Restore_Defaults(doc);
      case Step_Kind::Load: return Load(doc);
    }
    return KORV_Result::Refused;
  }

 private:
  KORV_Protocol& korv() { return model_.Protocol(); }

  // The SuperSets of the last read as the tablet sent them, by number,
  // lowest first; and, as Window_Shows, the rows the window shows otherwise
  // (re-encoded).
  void Add_Read(Doc& doc, const char* key) {
    std::vector<KORV_Read_Record> records = korv().Last_Read();
    std::sort(records.begin(), records.end(),
              [](const KORV_Read_Record& a, const KORV_Read_Record& b) { return a.number < b.number; });
    Doc read;
    Doc shows;
    for (const KORV_Read_Record& r : records) {
      const std::string number = Two_Digit_Number(r.number);
      read.Word(number, Record_Text(r.record));
      const SuperSet_Record& shown = model_.Form().Table()[static_cast<std::size_t>(r.number)];
      if (shown != r.record) shows.Word(number, Record_Text(shown));
    }
    doc.Group(key, std::move(read));
    doc.Group("Window_Shows", std::move(shows));
  }

  KORV_Result Read(int low, int high, Doc& doc, const char* key) {
    doc.Word("Range", Two_Digit_Number(low) + "-" + Two_Digit_Number(high));
    const KORV_Result r = korv().Read_SuperSets(low, high);
    Add_Read(doc, key);
    return r;
  }

  KORV_Result Write(const Step& step, Doc& doc) {
    const int n = step.number;
    doc.Word("SuperSet", Two_Digit_Number(n));
    doc.Word("Record", Record_Text(step.record));
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
    if (r != KORV_Result::Declined) Add_Read(doc, "Read_Back");
    return r;
  }

  KORV_Result Select(int n, Doc& doc) {
    doc.Word("SuperSet", Two_Digit_Number(n));
    return korv().Select_SuperSet(n);
  }

  KORV_Result Save_Power_Up(const Step& step, Doc& doc) {
    const int n = step.number_given ? step.number : 0;
    const KORV_Result read = Read(n, n, doc, "SuperSets");
    if (read != KORV_Result::Done) return read;
    doc.Word("Saved_In", Two_Digit_Number(korv().Last_User_SuperSet()));
    const KORV_Result r = korv().Save_Power_Up();
    if (r != KORV_Result::Declined) Add_Read(doc, "Read_Back");
    return r;
  }

  KORV_Result Restore_Defaults(Doc& doc) {
    const KORV_Result r = korv().Restore_Defaults();
    Add_Read(doc, "Read_Back");
    return r;
  }

  KORV_Result Load(Doc& doc) {
    const Config_Load_Result loaded = model_.Load();
    const bool ended = loaded == Config_Load_Result::Ended;
    doc.Flag("Start_Up_Command", ended);
    Add_Read(doc, "SuperSets");
    if (ended) return s_.Dialog_Answer == Dialog_No ? KORV_Result::Ended : KORV_Result::Done;
    return korv().Last_Read().size() == 100 ? KORV_Result::Done : KORV_Result::Not_Found;
  }

  Context& ctx_;
  Session& s_;
  KORV_Form_Model& model_;
};

}  // namespace

int Cmd_Korv(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.empty()) return ctx.Usage_Error(Usage);
  std::optional<std::pair<int, int>> range;
  if (const auto text = o.Value("range")) {
    range = Range(*text);
    if (!range) return ctx.Usage_Error("--range must be LOW-HIGH within 0-99, not " + Quoted_Text(*text));
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
  ctx.printer().Doc_Out(Tablet_Found(*s, *port));

  KORV_Form_Model model(*s);
  if (steps.front().kind != Step_Kind::Load) model.Prepare();
  Korv_Run run(ctx, *s, model);
  for (const Step& step : steps) {
    Doc doc;
    const KORV_Result r = run.Run(step, doc);
    doc.Word("Result", Result_Word(r));
    doc.Flag("Program_Ends", s->End_Requested);
    ctx.printer().Doc_Out(doc);
    if (r != KORV_Result::Done || s->End_Requested) return r == KORV_Result::Done ? Exit_Ok : Exit_Status(r);
  }
  return Exit_Ok;
}

}  // namespace stylomat::cli
