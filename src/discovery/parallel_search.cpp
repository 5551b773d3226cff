// Search All Serial Ports with every available port searched at once.
//
// Each port's search runs on a thread of its own with a session of its own
// (Port_Run): it starts from the main session's search values and port
// properties, reaches its port through a directory that holds that port
// alone, and keeps its own log, wire trace lines, clock and questions.
// Nothing of the main session is touched on those threads.
//
// The main thread takes the ports in order, as the sequential search does.
// Once a port's thread is done, the main session runs that port's probes
// once more, replayed from the exchange the thread recorded
// (platform/port_exchange): the same code, on the main session's own
// values, so the log, the identity, the framing values and the window come
// out as the sequential search leaves them.  Between ports it does what the
// sequential search does (the report, the refresh after a port error).  The
// first port with a tablet ends the search: its thread's open port becomes
// the main session's, the later ports' threads are stopped and let go of
// their ports (a tablet one of them woke is reset), and one log line names
// those ports.
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/search_animation.h"
#include "discovery/port_search.h"
#include "discovery/port_search_steps.h"
#include "discovery/reset_tablet.h"
#include "discovery/search_turns.h"
#include "platform/port_exchange.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr double Event_Slice_Seconds = 0.01;

// What a port's search reads and writes of its session besides the port
// and the log, with the mode flags it reads.
void Copy_Search_Values(const Session& from, Session& to) {
  to.Command_Line = from.Command_Line;
  to.Debug_Mode = from.Debug_Mode;
  to.OEM_Mode = from.OEM_Mode;
  to.App_Dir = from.App_Dir;
  to.Port_Number = from.Port_Number;
  to.Search_Status = from.Search_Status;
  to.Failure_Reason = from.Failure_Reason;
  to.Searched_Port = from.Searched_Port;
  to.Baud_Rate = from.Baud_Rate;
  to.Parity_Char = from.Parity_Char;
  to.Data_Bits = from.Data_Bits;
  to.Stop_Bits = from.Stop_Bits;
  to.Reply_Text = from.Reply_Text;
  to.Dialog_Answer = from.Dialog_Answer;
  to.identity = from.identity;
  to.reports = from.reports;
}

std::string Com_Name(int com) { return "COM" + std::to_string(com); }

// One port's search on its own thread, with everything that search touches.
struct Port_Run {
  Port_Run(Session& main, Search_Turns& turns, int com)
      : com(com),
        turns(turns),
        clock(turns.Port_Clock(com), exchange),
        prompter(turns.Port_Prompter(com), exchange),
        trace(turns.Port_Clock(com), [this](std::string_view line) { trace_lines.emplace_back(line); }),
        session(clock, directory, prompter),
        start_port(directory, clock) {
    if (Port_Entry* entry = main.ports.Find(com); entry && entry->backend) {
      Port_Entry own;
      own.device = entry->device;
      own.description = entry->description;
      own.simulated = entry->simulated;
      own.backend = std::make_unique<Recording_Backend>(*entry->backend, turns.Port_Clock(com), exchange);
      directory.Set(com, std::move(own));
    }
    Copy_Search_Values(main, session);
    session.Port_Number = com;
    session.port.Copy_Properties_From(main.port);
    session.port.Set_Trace(&trace);
  }

  const int com;
  Search_Turns& turns;
  Port_Exchange exchange;
  Recording_Clock clock;
  Recording_Prompter prompter;
  Port_Directory directory;
  std::vector<std::string> trace_lines;
  Wire_Trace trace;
  Session session;
  Serial_Port start_port;  // the port's properties as its probes started
  // Where the probes' lines stand in the session's log.
  std::size_t probes_from = 0;
  std::size_t probes_to = 0;
  bool kept = false;     // the tablet found; the port stays open for the main session
  bool applied = false;  // the main session has taken this port's search
  bool let_go = false;   // stopped by the main thread: no longer searched
  std::thread thread;
};

// Lets go of the port: a tablet the search found, or woke before it was
// stopped, is reset as a search resets the tablet before it searches again.
void Let_Go(Session& w, bool reset) {
  try {
    if (reset) Reset_And_Close(w);
  } catch (const std::exception&) {
  }
  Close_Port(w);
}

void Search_On_Own_Thread(Port_Run& run, const Probe_Table& probes) {
  Session& w = run.session;
  bool stopped = false;
  const auto stop_recording = [&] {
    if (!run.exchange.recording) return;
    run.exchange.recording = false;
    run.probes_to = w.log.Size();
  };
  try {
    run.turns.Enter(run.com);
    Begin_Port_Search(w);
    run.start_port.Copy_Properties_From(w.port);
    run.probes_from = run.probes_to = w.log.Size();
    run.exchange.recording = true;
    Run_Probes(w, probes);
    stop_recording();
    if (w.Search_Status == 0 && w.port.PortOpen()) run.kept = run.turns.Wait_For_Verdict(run.com);
  } catch (const Search_Stopped&) {
    stopped = true;
  } catch (const std::exception& e) {
    // Not the port: something else ended this port's search.  It fails
    // alone, as a port error.
    stop_recording();
    w.Search_Status = -2;
    w.Failure_Reason = "the search of " + Com_Name(run.com) + " stopped: " + e.what();
  } catch (...) {
    stop_recording();
    w.Search_Status = -2;
    w.Failure_Reason = "the search of " + Com_Name(run.com) + " stopped";
  }
  stop_recording();
  if (!run.kept) Let_Go(w, stopped || w.Search_Status == 0);
  run.turns.Leave(run.com);
}

class Parallel_Search {
 public:
  Parallel_Search(Session& s, const Probe_Table& probes) : s_(s), probes_(probes), turns_(s.clock) {}
  Parallel_Search(const Parallel_Search&) = delete;
  Parallel_Search& operator=(const Parallel_Search&) = delete;
  ~Parallel_Search() { Let_All_Go(false); }

  int Run();

 private:
  enum class Front { Waiting, Moved, Ended };

  void Start_Run(int com);
  Front Take_Front();
  void Apply(Port_Run& run);
  void Replay(Port_Run& run);
  void Take_Own_Result(Port_Run& run, const std::string& why);
  void Pass_Trace(Port_Run& run);
  void Stop_After(int com);
  void Hold_Ports();
  void Show_Progress();
  void Run_Window_Events();
  // Stops every port's thread still searching, waits until all have let
  // go of their ports and joins them.
  void Let_All_Go(bool window_events);
  void Name_Later_Ports();

  Session& s_;
  const Probe_Table& probes_;
  Search_Turns turns_;
  std::array<std::unique_ptr<Port_Run>, Port_Directory::Last_Com + 1> runs_{};
  int front_ = Port_Directory::First_Com;
  int result_ = 0;
  double events_at_ = 0;
  std::string caption_;
};

int Parallel_Search::Run() {
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
    if (s_.Com_Available[static_cast<std::size_t>(n)]) Start_Run(n);
  }
  events_at_ = s_.clock.Now();
  Show_Progress();
  // Every pass waits for the threads (on a real clock at most 10 ms) or
  // moves the front; the threads' searches are bounded, so the passes are.
  while (true) {
    const bool woken = turns_.Wait_For_Change();
    Hold_Ports();
    Show_Progress();
    Run_Window_Events();
    const Front front = Take_Front();
    if (front == Front::Ended) break;
    if (!woken && front == Front::Waiting) throw std::logic_error("the parallel search waits for nothing");
  }
  Let_All_Go(true);
  Name_Later_Ports();
  return result_;
}

void Parallel_Search::Start_Run(int com) {
  auto run = std::make_unique<Port_Run>(s_, turns_, com);
  Port_Run& started = *run;
  runs_[static_cast<std::size_t>(com)] = std::move(run);
  turns_.Start(com);
  try {
    started.thread = std::thread([&started, this] { Search_On_Own_Thread(started, probes_); });
  } catch (...) {
    turns_.Leave(com);
    throw;
  }
}

Parallel_Search::Front Parallel_Search::Take_Front() {
  bool moved = false;
  for (; front_ <= Port_Directory::Last_Com; ++front_) {
    const std::size_t n = static_cast<std::size_t>(front_);
    // As the sequential search passes a port that is not available (one a
    // refresh after a port error found gone).
    if (!s_.Com_Available[n]) continue;
    Port_Run* run = runs_[n].get();
    if (!run) {
      // Available since a refresh after a port error: searched now.
      Start_Run(front_);
      return Front::Moved;
    }
    switch (turns_.Phase_Of(front_)) {
      case Search_Turns::Phase::Asking:
        // Questions are asked in port order, when the sequential search
        // would ask them.
        if (const auto question = turns_.Question_Of(front_)) {
          turns_.Answer_Question(front_, s_.prompter.Ask(*question));
          return Front::Moved;
        }
        return moved ? Front::Moved : Front::Waiting;
      case Search_Turns::Phase::Found:
        turns_.Give_Verdict(front_, true);
        Stop_After(front_);
        return Front::Moved;
      case Search_Turns::Phase::Done: break;
      default: return moved ? Front::Moved : Front::Waiting;
    }
    Apply(*run);
    moved = true;
    if (const std::optional<int> end = Finish_Port_Of_All(s_, front_)) {
      result_ = *end;
      return Front::Ended;
    }
  }
  // Past the last port, as the sequential search's loop ends.
  result_ = 0;
  return Front::Ended;
}

void Parallel_Search::Apply(Port_Run& run) {
  run.applied = true;
  Set_Hourglass(s_, true);
  s_.Port_Number = run.com;
  Begin_Port_Search(s_);
  Replay(run);
  Pass_Trace(run);
  if (run.kept) s_.port.Take_Open_Device(run.session.port);
  Report_Search_Result(s_);
}

void Parallel_Search::Replay(Port_Run& run) {
  Replaying_Clock clock(run.exchange);
  Replaying_Prompter prompter(run.exchange);
  Port_Directory directory;
  auto device = std::make_unique<Replaying_Backend>(run.exchange);
  Replaying_Backend& replayed = *device;
  Port_Entry entry;
  entry.device = "replay";
  entry.backend = std::move(device);
  directory.Set(run.com, std::move(entry));
  std::string mismatch;
  {
    Session replay(clock, directory, prompter);
    Copy_Search_Values(s_, replay);
    replay.port.Copy_Properties_From(run.start_port);
    try {
      Run_Probes(replay, probes_);
      replayed.Finish();
      clock.Finish();
      prompter.Finish();
      Copy_Search_Values(replay, s_);
      s_.port.Copy_Properties_From(replay.port);
      s_.log.Append(replay.log.Text());
      s_.Facts_Changed();
      return;
    } catch (const std::exception& e) {
      mismatch = e.what();
    }
  }
  Take_Own_Result(run, mismatch);
}

// The values the port's search arrived at on its own thread, from the
// values the whole search started with.
void Parallel_Search::Take_Own_Result(Port_Run& run, const std::string& why) {
  Copy_Search_Values(run.session, s_);
  s_.port.Copy_Properties_From(run.session.port);
  s_.log.Append(std::string_view(run.session.log.Text()).substr(run.probes_from, run.probes_to - run.probes_from));
  s_.Facts_Changed();
  s_.Parallel_Log.Line(Com_Name(run.com) + ": the result of its own search is taken (" + why + ")");
}

void Parallel_Search::Pass_Trace(Port_Run& run) {
  if (Wire_Trace* trace = s_.port.Current_Trace()) {
    for (const std::string& line : run.trace_lines) trace->Pass_Line(line);
  }
  run.trace_lines.clear();
}

void Parallel_Search::Stop_After(int com) {
  for (int n = com + 1; n <= Port_Directory::Last_Com; ++n) {
    if (Port_Run* run = runs_[static_cast<std::size_t>(n)].get()) {
      run->let_go = true;
      turns_.Stop(n);
    }
  }
}

void Parallel_Search::Hold_Ports() {
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
    const std::size_t i = static_cast<std::size_t>(n);
    s_.Com_Held_By_Search[i] = runs_[i] && turns_.Phase_Of(n) != Search_Turns::Phase::Done;
  }
}

// The please-wait window names the ports still being searched.
void Parallel_Search::Show_Progress() {
  std::string ports;
  int count = 0;
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
    const Port_Run* run = runs_[static_cast<std::size_t>(n)].get();
    if (!run || run->let_go || turns_.Phase_Of(n) == Search_Turns::Phase::Done) continue;
    ports += (count++ ? ", " : "") + std::to_string(n);
  }
  if (count == 0) return;
  const std::string caption = (count == 1 ? "Searching Serial Port  " : "Searching Serial Ports  ") + ports;
  if (caption == caption_ && s_.splash.Caption == caption) return;
  caption_ = caption;
  s_.splash.Caption = caption;
  s_.front_end().Repaint_Splash();
}

void Parallel_Search::Run_Window_Events() {
  const double now = s_.clock.Now();
  if (now < events_at_ + Event_Slice_Seconds) return;
  events_at_ = now;
  s_.Process_Events();
}

void Parallel_Search::Let_All_Go(bool window_events) {
  try {
    for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
      if (runs_[static_cast<std::size_t>(n)]) turns_.Stop(n);
    }
    // A stopped thread goes on at once; each lets go of its port within
    // its reset's few ticks.
    while (!turns_.All_Left()) {
      turns_.Wait_For_Change();
      if (window_events) Run_Window_Events();
    }
  } catch (...) {
    // The threads still have to be joined.
  }
  for (auto& run : runs_) {
    if (run && run->thread.joinable()) run->thread.join();
  }
  s_.Com_Held_By_Search.fill(false);
}

// The ports searched only because the search ran in parallel: one line in
// the traffic log; their sections in Parallel_Log, their lines in the
// wire trace after the others.
void Parallel_Search::Name_Later_Ports() {
  std::string names;
  for (auto& run : runs_) {
    if (!run || run->applied) continue;
    names += (names.empty() ? "" : ", ") + Com_Name(run->com);
  }
  if (names.empty()) return;
  Log_Line(s_, "Also probed in parallel: " + names);
  s_.Refresh_Log_View();
  s_.Parallel_Log.Append("\r");
  s_.Parallel_Log.Line("Also probed in parallel, outside the search's result: " + names);
  for (auto& run : runs_) {
    if (!run || run->applied) continue;
    Pass_Trace(*run);
    s_.Parallel_Log.Append(run->session.log.Text());
  }
}

}  // namespace

int Search_All_Ports_Parallel(Session& s, const Probe_Table& probes) {
  int first = 0;
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com && first == 0; ++n) {
    if (s.Com_Available[static_cast<std::size_t>(n)]) first = n;
  }
  // Nothing to search at once: the sequential search says so as it always has.
  if (first == 0) return Search_All_Ports(s, probes);
  Set_Hourglass(s, true);
  s.Port_Number = first;
  Show_Search_Animation(s, 3);
  // A tablet still on the port is reset before any port is searched, as the
  // first port's search does.
  if (s.port.PortOpen()) Reset_Main_State(s);
  int result = 0;
  {
    Parallel_Search search(s, probes);
    result = search.Run();
  }
  Show_Search_Animation(s, 1);
  return result;
}

}  // namespace stylomat
