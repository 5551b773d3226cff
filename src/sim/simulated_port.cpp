#include <algorithm>
#include <limits>

#include "sim/sim_device.h"

namespace stylomat {

namespace {
// A real UART driver holds a few kilobytes; beyond this the bytes are lost,
// as they would be on a real port that nobody reads.
constexpr std::size_t Input_Capacity = 1 << 20;
}  // namespace

Simulated_Port::Simulated_Port(Clock& clock, std::unique_ptr<Sim_Device> device, Sim_Faults faults)
    : clock_(clock), device_(std::move(device)), faults_(std::move(faults)) {}

Simulated_Port::~Simulated_Port() = default;

void Sim_Link::Set_Timer(double at) {
  port_.timer_at_ = at;
  if (at >= 0) {
    Simulated_Port::Event e{};
    e.time = std::max(at, port_.now_);
    e.kind = Simulated_Port::Kind::Timer;
    port_.timer_at_ = e.time;
    port_.Push(e);
  }
}

double Simulated_Port::Next_Event_Time() const {
  return events_.empty() ? std::numeric_limits<double>::infinity() : events_.top().time;
}

void Simulated_Port::Push(Event e) {
  e.seq = seq_++;
  events_.push(e);
}

void Simulated_Port::Check_Vanished() {
  if (faults_.vanish_at >= 0 && clock_.Now() >= faults_.vanish_at) {
    throw Port_Error(Port_Error_Kind::Io_Error,
                     "the serial device stopped responding (input/output error); the adapter may have been "
                     "unplugged");
  }
}

void Simulated_Port::Advance() {
  const double target = clock_.Now();
  Sim_Link link(*this);
  while (!events_.empty() && events_.top().time <= target) {
    const Event e = events_.top();
    events_.pop();
    now_ = e.time;
    switch (e.kind) {
      case Kind::Host_Byte:
        // The tablet only makes sense of characters framed as it expects;
        // anything else is lost on the line.
        if (Understood(e.framing, device_->Device_Framing())) {
          heard_ += static_cast<char>(e.byte);
          device_->On_Byte(link, e.byte);
        }
        break;
      case Kind::Host_Lines:
        device_->On_Lines(link, e.a, e.b);
        break;
      case Kind::Host_Break:
        device_->On_Break(link, e.a);
        break;
      case Kind::Device_Byte:
        if (open_ && Understood(e.framing, host_framing_) && !faults_.drop_replies && input_.size() < Input_Capacity) {
          input_.push_back(e.byte);
        }
        break;
      case Kind::Timer:
        if (timer_at_ == e.time) {
          timer_at_ = -1.0;
          device_->On_Timer(link);
        }
        break;
    }
  }
  now_ = std::max(now_, target);
}

void Simulated_Port::Device_Send(double at, std::string_view bytes) {
  std::string out(faults_.noise);
  if (faults_.truncate_replies >= 0 && bytes.size() > static_cast<std::size_t>(faults_.truncate_replies)) {
    bytes = bytes.substr(0, static_cast<std::size_t>(faults_.truncate_replies));
  }
  out.append(bytes);
  device_tx_free_ = Queue_Bytes(Kind::Device_Byte, out, device_->Device_Framing(),
                                std::max(at + faults_.reply_delay, device_tx_free_));
}

double Simulated_Port::Queue_Bytes(Kind kind, std::string_view bytes, const Framing& framing, double start) {
  const double char_time = framing.Seconds_Per_Character();
  double t = start;
  for (unsigned char c : bytes) {
    t += char_time;
    Event e{};
    e.time = t;
    e.kind = kind;
    e.byte = c;
    e.framing = framing;
    Push(e);
  }
  return t;
}

void Simulated_Port::Open(const Framing& framing) {
  Advance();
  if (faults_.missing || (faults_.vanish_at >= 0 && clock_.Now() >= faults_.vanish_at)) {
    throw Port_Error(Port_Error_Kind::No_Such_Port, "the serial device does not exist");
  }
  if (faults_.busy) {
    throw Port_Error(Port_Error_Kind::In_Use, "the port is in use by another application");
  }
  open_ = true;
  host_framing_ = framing;
  input_.clear();
}

void Simulated_Port::Close() {
  Advance();
  if (!open_) return;
  open_ = false;
  input_.clear();
  if (dtr_ || rts_ || break_) {
    dtr_ = rts_ = false;
    if (break_) {
      break_ = false;
      Event b{};
      b.time = now_;
      b.kind = Kind::Host_Break;
      b.a = false;
      Push(b);
    }
    Push_Lines();
  }
}

std::size_t Simulated_Port::Bytes_Waiting() {
  Check_Vanished();
  Advance();
  return input_.size();
}

std::string Simulated_Port::Read(std::size_t max_bytes) {
  Check_Vanished();
  Advance();
  const std::size_t n = std::min(max_bytes, input_.size());
  std::string out(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
  return out;
}

bool Simulated_Port::Wait_For_Input(Clock& /*the session's clock, which is clock_*/, double max_seconds) {
  Clock& clock = clock_;
  Check_Vanished();
  Advance();
  if (!input_.empty()) return true;
  if (!(max_seconds > 0)) return false;
  const double end = clock.Now() + max_seconds;
  // Each look sleeps to the next event at the latest, so the loop ends
  // after at most one look per event in the window; the guard keeps a
  // tablet that re-arms its timer at the same moment from holding it.
  constexpr int Max_Looks = 100000;
  for (int look = 0; look < Max_Looks; ++look) {
    double next = end;
    if (!events_.empty() && events_.top().time < next) next = events_.top().time;
    if (faults_.vanish_at >= 0 && faults_.vanish_at < next) next = faults_.vanish_at;
    if (next > clock.Now()) clock.Sleep_Until(next);
    Check_Vanished();
    Advance();
    if (!input_.empty()) return true;
    if (clock.Now() >= end) return false;
  }
  clock.Sleep_Until(end);
  Check_Vanished();
  Advance();
  return !input_.empty();
}

void Simulated_Port::Write(std::string_view bytes) {
  Check_Vanished();
  Advance();
  host_tx_free_ = Queue_Bytes(Kind::Host_Byte, bytes, host_framing_, std::max(now_, host_tx_free_));
}

std::size_t Simulated_Port::Bytes_Unsent() {
  Check_Vanished();
  Advance();
  if (!open_) return 0;
  if (faults_.never_drains) return 1;
  if (now_ >= host_tx_free_) return 0;
  const double char_time = host_framing_.Seconds_Per_Character();
  if (char_time <= 0) return 0;
  return static_cast<std::size_t>((host_tx_free_ - now_) / char_time) + 1;
}

void Simulated_Port::Push_Lines() {
  Event e{};
  e.time = now_;
  e.kind = Kind::Host_Lines;
  e.a = dtr_;
  e.b = rts_;
  Push(e);
}

void Simulated_Port::Set_DTR(bool on) {
  Check_Vanished();
  Advance();
  dtr_ = on;
  Push_Lines();
}

void Simulated_Port::Set_RTS(bool on) {
  Check_Vanished();
  Advance();
  rts_ = on;
  Push_Lines();
}

void Simulated_Port::Set_Break(bool on) {
  Check_Vanished();
  Advance();
  break_ = on;
  Event e{};
  e.time = now_;
  e.kind = Kind::Host_Break;
  e.a = on;
  Push(e);
}

}  // namespace stylomat
