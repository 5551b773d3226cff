// stylomat-cli settings: what the configuration windows do, without a
// window, for whichever window the tablet found routes to.
//
//   settings STEP [then STEP]... --port N [--superset NN] [--temporary|--power-up]
//   STEP: show | set BOX=VALUE... | set --switches PATTERN | save-user | restore-factory
//
// The tablet on the port is searched and named, its configuration window is
// opened as the main window opens it (the window reads the tablet), then the
// steps run in order on the same window and tablet.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "app/config_window_factory.h"
#include "cli/cli.h"
#include "cli/form_docs.h"
#include "discovery/model_table.h"
#include "discovery/port_search.h"
#include "superset/superset_box_texts.h"
#include "superset/superset_form.h"
#include "switchbank/switch_bank_form.h"

namespace stylomat::cli {

namespace {

constexpr const char* Usage =
    "settings STEP [then STEP]... --port N; STEP is one of: show, set BOX=VALUE..., save-user, restore-factory "
    "(see stylomat-cli settings --help)";

// The entries of each window that a step runs.
struct Window_Entries {
  const char* read;
  const char* temporary;  // nullptr: the window has no temporary save
  const char* power_up;
  const char* save_user;  // nullptr: no user SuperSets
  const char* restore;
};

Window_Entries Entries_Of(Config_Window window) {
  switch (window) {
    case Config_Window::KORV_form: return {"Read_All", nullptr, "Save_Power_Up", "Save_All_User", "Restore_Defaults"};
    case Config_Window::Mirolex2:
    case Config_Window::Dovrane3: return {"cmdRead", "CmdChange", "CmdSavePon", "CmdSaveUser", "cmddef"};
    case Config_Window::Pv5:
    case Config_Window::VSIII: return {"CmdRead", "CmdChange", "CmdSaveChange", nullptr, "CmdDefualt"};
  }
  return {};
}

std::string Without_Access_Key(const std::string& caption) {
  std::string text;
  for (char c : caption) {
    if (c != '&') text += c;
  }
  return text;
}

std::string Folded(const std::string& text) {
  std::string out;
  for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // Blanks at either end do not count ("Odd " is chosen as "odd").
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::optional<int> Check_Value(const std::string& value) {
  const std::string v = Folded(value);
  if (v == "on" || v == "1" || v == "yes" || v == "checked") return 1;
  if (v == "off" || v == "0" || v == "no" || v == "unchecked") return 0;
  return std::nullopt;
}

std::optional<int> Item_Index(const std::vector<std::string>& items, const std::string& value) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == value) return static_cast<int>(i);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (Folded(items[i]) == Folded(value)) return static_cast<int>(i);
  return std::nullopt;
}

// One window, opened on the tablet found, and the steps run on it.
class Settings_Run {
 public:
  Settings_Run(Context& ctx, Config_Window_Parts parts)
      : ctx_(ctx), parts_(std::move(parts)), entries_(Entries_Of(parts_.model->Window())) {}

  Config_Window_Model& model() { return *parts_.model; }

  // What the window shows: its caption, then the form's fields.
  void Add_Shown(Doc& doc) {
    doc.Text("Caption", model().Caption());
    if (parts_.superset) {
      const SuperSet_Form& form = *parts_.superset;
      const int row = form.Selected_SuperSet();
      const SuperSet_Record& record = form.Table()[static_cast<std::size_t>(std::max(0, row))];
      Add_SuperSet_Form(doc, form, row, record, parts_.superset->session().OEM_Mode);
    }
    if (parts_.switches) Add_Switch_Form(doc, *parts_.switches);
  }

  // Runs an entry of the window; false when it could not start.
  bool Run_Entry(const char* entry) {
    if (!entry) return false;
    const Command_Runner::Outcome outcome = model().Run(entry);
    if (outcome == Command_Runner::Outcome::Failed) {
      ctx_.err() << "stylomat-cli: \"" << entry << "\" stopped: " << Shown(model().Commands().Failure()) << "\n";
    }
    if (outcome == Command_Runner::Outcome::Refused || outcome == Command_Runner::Outcome::Unknown) {
      ctx_.err() << "stylomat-cli: the window's entry \"" << entry << "\" is not available now\n";
      return false;
    }
    return outcome == Command_Runner::Outcome::Ran;
  }

  const Window_Entries& entries() const { return entries_; }

  // BOX=VALUE on the form; prints why and returns false when refused.
  bool Apply(const std::string& assignment) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0) {
      ctx_.err() << "stylomat-cli: \"" << Shown(assignment) << "\" is not BOX=VALUE\n";
      return false;
    }
    const std::string box = assignment.substr(0, eq);
    const std::string value = assignment.substr(eq + 1);
    if (parts_.superset) return Apply_SuperSet(*parts_.superset, box, value);
    if (parts_.switches) return Apply_Switch_Setting(*parts_.switches, box, value);
    return false;
  }

  bool Apply_Switches(const std::string& pattern) {
    if (!parts_.switches) {
      ctx_.err() << "stylomat-cli: --switches is for the switch-bank windows (Pv5, VSIII)\n";
      return false;
    }
    if (pattern.size() != 21 || pattern.find_first_not_of("01") != std::string::npos) {
      ctx_.err() << "stylomat-cli: --switches needs 21 characters of 0 and 1 (A1..A8, B1..B8, C1..C5), got \""
                 << pattern << "\"\n";
      return false;
    }
    Switch_Bank_Form& form = *parts_.switches;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const Bank bank = static_cast<Bank>(i / 8);
      form.Set_Switch(bank, static_cast<int>(i % 8) + 1, pattern[i] - '0');
    }
    return true;
  }

  bool Select_SuperSet(int n) {
    if (!parts_.superset) {
      ctx_.err() << "stylomat-cli: --superset is for the SuperSet windows (KORV_form, Mirolex2, Dovrane3)\n";
      return false;
    }
    if (parts_.superset->Select_SuperSet(n) == Set_Result::Refused) {
      ctx_.err() << "stylomat-cli: the window's SuperSet list has no entry " << n << "\n";
      return false;
    }
    return true;
  }

 private:
  void Print_Items(const std::string& box, const std::vector<std::string>& items) {
    ctx_.err() << "  " << box << " takes:";
    if (items.empty()) {
      ctx_.err() << " on, off\n";
      return;
    }
    ctx_.err() << "\n";
    for (const std::string& item : items) ctx_.err() << "    \"" << item << "\"\n";
  }

  bool Apply_SuperSet(SuperSet_Form& form, const std::string& name, const std::string& value) {
    for (SuperSet_Box box : All_SuperSet_Boxes()) {
      if (!form.Has_Box(box) || box == SuperSet_Box::CmbSuperSet) continue;
      const std::string label = Without_Access_Key(Box_Caption(box, model().Window()));
      if (Folded(name) != Folded(Box_Name(box)) && Folded(name) != Folded(label)) continue;
      std::optional<int> v;
      if (Is_List_Box(box)) {
        v = Item_Index(form.List(box).items, value);
      } else {
        v = Check_Value(value);
      }
      if (!v || (Is_List_Box(box) ? form.Set_Index(box, *v) : form.Set_Value(box, *v)) == Set_Result::Refused) {
        ctx_.err() << "stylomat-cli: \"" << value << "\" is not a value of " << Box_Name(box) << "\n";
        Print_Items(Box_Name(box), Is_List_Box(box) ? form.List(box).items : std::vector<std::string>{});
        return false;
      }
      return true;
    }
    ctx_.err() << "stylomat-cli: the " << Config_Window_Name(model().Window()) << " window has no box \"" << Shown(name)
               << "\"\n";
    return false;
  }

  bool Apply_Switch_Setting(Switch_Bank_Form& form, const std::string& name, const std::string& value) {
    for (int i = 0; i < Setting_Count; ++i) {
      const Setting_Box& box = form.Box(static_cast<Setting>(i));
      if (Folded(name) != Folded(box.name) && Folded(name) != Folded(Without_Access_Key(box.caption))) continue;
      const std::optional<int> v = box.Is_Check() ? Check_Value(value) : Item_Index(box.items, value);
      if (!v || form.Set_Setting(box.id, *v) == Set_Result::Refused) {
        ctx_.err() << "stylomat-cli: \"" << value << "\" is not a value of " << box.name << "\n";
        Print_Items(box.name, box.items);
        return false;
      }
      return true;
    }
    ctx_.err() << "stylomat-cli: the " << Config_Window_Name(model().Window()) << " window has no box \"" << Shown(name)
               << "\"\n";
    return false;
  }

  Context& ctx_;
  Config_Window_Parts parts_;
  Window_Entries entries_;
};

// The command line's front end: the routing's request for a window makes the
// window's model, as the main window does.
struct Cli_Front_End final : Front_End {
  explicit Cli_Front_End(Session& s) : s_(s) {}
  bool Open_Config_Window(Config_Window window, const std::string& caption) override {
    parts = Make_Config_Window(s_, window, caption);
    return parts.model != nullptr;
  }
  Config_Window_Parts parts;

 private:
  Session& s_;
};

struct Step {
  std::string name;
  std::vector<std::string> args;
};

std::vector<Step> Split_Steps(const std::vector<std::string>& words) {
  std::vector<Step> steps(1);
  for (const std::string& w : words) {
    if (w == "then") {
      steps.emplace_back();
      continue;
    }
    if (steps.back().name.empty()) {
      steps.back().name = w;
    } else {
      steps.back().args.push_back(w);
    }
  }
  return steps;
}

}  // namespace

int Cmd_Settings(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.empty()) return ctx.Usage_Error(std::string("settings needs a step: ") + Usage);
  const std::vector<Step> steps = Split_Steps(o.positional);
  for (const Step& step : steps) {
    const bool known = step.name == "show" || step.name == "set" || step.name == "save-user" ||
                       step.name == "restore-factory";
    if (!known) {
      return ctx.Usage_Error((step.name.empty() ? std::string("a step is missing around \"then\"")
                                                : "unknown step \"" + step.name + "\"") +
                             " (usage: " + Usage + ")");
    }
    if (step.name != "set" && !step.args.empty()) {
      return ctx.Usage_Error("\"" + step.name + "\" takes no words; \"" + step.args.front() + "\" is one too many");
    }
  }
  if (o.Flag("temporary") && o.Flag("power-up")) return ctx.Usage_Error("choose --temporary or --power-up, not both");
  std::optional<int> superset;
  if (auto text = o.Value("superset")) {
    if (text->empty() || text->size() > 3 || text->find_first_not_of("0123456789") != std::string::npos) {
      return ctx.Usage_Error("--superset takes a SuperSet number such as 95");
    }
    superset = std::stoi(*text);
  }
  const std::optional<int> port = ctx.Port_Option();
  if (!port) return Exit_Error;

  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  Port_Icon_Command(*s, *port);
  if (s->Search_Status != 0 || !s->port.PortOpen()) return Report_No_Tablet(ctx, *s, *port, "");
  const Config_Route* route = Find_Config_Route(s->identity.Model_Name);
  if (!route) {
    ctx.err() << "stylomat-cli: the tablet on COM" << *port << " is \"" << Shown(s->identity.Model_Name)
              << "\"; no configuration window serves it\n";
    return Exit_Nothing;
  }
  ctx.printer().Doc_Out(Tablet_Found(*s, *port));

  // "Advanced Configuration", as the main window runs it: the tablet's
  // reporting reset, then the routing opens the window.
  Cli_Front_End front_end(*s);
  s->Set_Front_End(&front_end);
  Open_Configuration(*s);
  s->Set_Front_End(nullptr);
  if (!front_end.parts.model) {
    ctx.err() << "stylomat-cli: the " << Config_Window_Name(route->window) << " window is not available\n";
    return Exit_Error;
  }
  Settings_Run run(ctx, std::move(front_end.parts));
  if (run.model().Load() == Config_Load_Result::Ended || s->End_Requested) {
    // A start-up command of the command line ran, and the program ends.
    Doc doc;
    doc.Word("Step", "load");
    doc.Flag("Start_Up_Command", true);
    doc.Flag("Program_Ends", true);
    doc.Flag("Keeps_Settings", s->Keep_Settings_On_Exit);
    ctx.printer().Doc_Out(doc);
    return Exit_Ok;
  }

  bool fresh = true;  // the window shows what it just read
  for (const Step& step : steps) {
    Doc doc;
    doc.Word("Step", step.name);
    if (step.name == "show") {
      if (!fresh && !run.Run_Entry(run.entries().read)) return Exit_Error;
      run.Add_Shown(doc);
      ctx.printer().Doc_Out(doc);
      fresh = true;
      continue;
    }
    fresh = false;
    const char* entry = nullptr;
    if (step.name == "set") {
      if (superset && !run.Select_SuperSet(*superset)) return Exit_Error;
      if (auto pattern = o.Value("switches")) {
        if (!run.Apply_Switches(*pattern)) return Exit_Error;
      }
      for (const std::string& assignment : step.args) {
        if (!run.Apply(assignment)) return Exit_Error;
      }
      entry = o.Flag("temporary") ? run.entries().temporary : run.entries().power_up;
      if (!entry) {
        ctx.err() << "stylomat-cli: the " << Config_Window_Name(run.model().Window())
                  << " window saves no temporary settings; use --power-up\n";
        return Exit_Error;
      }
    } else if (step.name == "save-user") {
      entry = run.entries().save_user;
      if (!entry) {
        ctx.err() << "stylomat-cli: the " << Config_Window_Name(run.model().Window()) << " window has no user SuperSets\n";
        return Exit_Error;
      }
    } else if (step.name == "restore-factory") {
      entry = run.entries().restore;
    }
    doc.Word("Entry", entry);
    if (!run.Run_Entry(entry)) return Exit_Error;
    if (run.model().Close_Requested()) run.model().On_Closed();
    doc.Flag("Program_Ends", s->End_Requested);
    doc.Flag("Keeps_Settings", s->Keep_Settings_On_Exit);
    ctx.printer().Doc_Out(doc);
    if (s->End_Requested) return Exit_Ok;
  }
  return Exit_Ok;
}

}  // namespace stylomat::cli
