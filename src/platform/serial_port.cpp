#include "platform/serial_port.h"

#include <charconv>
#include <cstdio>

#include "platform/printable_text.h"

namespace stylomat {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<int> Parse_Int(std::string_view s) {
  s = Trim(s);
  if (s.empty() || s.size() > 9) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

char Parity_Letter(Parity p) {
  switch (p) {
    case Parity::None: return 'n';
    case Parity::Odd: return 'o';
    case Parity::Even: return 'e';
    case Parity::Mark: return 'm';
    case Parity::Space: return 's';
  }
  return 'n';
}

}  // namespace

double Framing::Bits_Per_Character() const {
  const double parity_bits = parity == Parity::None ? 0.0 : 1.0;
  return 1.0 + data_bits + parity_bits + stop_half_bits / 2.0;
}

double Framing::Seconds_Per_Character() const {
  return baud > 0 ? Bits_Per_Character() / baud : 0.0;
}

std::optional<Framing> Parse_Framing(std::string_view settings) {
  std::string_view parts[4];
  int count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = settings.find(',', start);
    if (count == 4) return std::nullopt;  // more than four parts
    parts[count++] = settings.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                            : comma - start);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (count != 4) return std::nullopt;

  Framing f;
  const auto baud = Parse_Int(parts[0]);
  if (!baud || *baud < 50 || *baud > 4000000) return std::nullopt;
  f.baud = *baud;

  const std::string_view p = Trim(parts[1]);
  if (p.size() != 1) return std::nullopt;
  switch (p[0]) {
    case 'n': case 'N': f.parity = Parity::None; break;
    case 'o': case 'O': f.parity = Parity::Odd; break;
    case 'e': case 'E': f.parity = Parity::Even; break;
    case 'm': case 'M': f.parity = Parity::Mark; break;
    case 's': case 'S': f.parity = Parity::Space; break;
    default: return std::nullopt;
  }

  const auto data = Parse_Int(parts[2]);
  if (!data || *data < 5 || *data > 8) return std::nullopt;
  f.data_bits = *data;

  const std::string_view stop = Trim(parts[3]);
  if (stop == "1") {
    f.stop_half_bits = 2;
  } else if (stop == "1.5") {
    f.stop_half_bits = 3;
  } else if (stop == "2") {
    f.stop_half_bits = 4;
  } else {
    return std::nullopt;
  }
  return f;
}

std::string Framing_Text(const Framing& f) {
  std::string stop = f.stop_half_bits == 3 ? "1.5" : std::to_string(f.stop_half_bits / 2);
  return std::to_string(f.baud) + "," + Parity_Letter(f.parity) + "," + std::to_string(f.data_bits) +
         "," + stop;
}

int Port_Error::Number() const {
  switch (kind_) {
    case Port_Error_Kind::No_Such_Port: return 8002;
    case Port_Error_Kind::Permission_Denied: return 8010;
    case Port_Error_Kind::In_Use: return 8010;
    case Port_Error_Kind::Bad_Settings: return 8015;
    case Port_Error_Kind::Io_Error: return 57;
    case Port_Error_Kind::Not_Open: return 8012;
    case Port_Error_Kind::Other: return 8020;
  }
  return 8020;
}

// ---- Port_Backend ------------------------------------------------------------

bool Port_Backend::Wait_For_Input(Clock& clock, double max_seconds) {
  if (!(max_seconds > 0)) max_seconds = 0;
  const double end = clock.Now() + max_seconds;
  // One look per slice, plus the first and the last: bounded whatever the
  // clock does.
  const int looks = static_cast<int>(max_seconds / Input_Poll_Seconds) + 2;
  for (int look = 0; look < looks; ++look) {
    if (Bytes_Waiting() > 0) return true;
    const double now = clock.Now();
    if (now >= end) return false;
    clock.Sleep_Until(now + Input_Poll_Seconds < end ? now + Input_Poll_Seconds : end);
  }
  return Bytes_Waiting() > 0;
}

// ---- Port_Directory ---------------------------------------------------------

void Port_Directory::Set(int com, Port_Entry entry) {
  if (com < First_Com || com > Last_Com) return;
  entries_[com] = std::move(entry);
  mapped_[com] = true;
}

void Port_Directory::Clear(int com) {
  if (com < First_Com || com > Last_Com) return;
  entries_[com] = Port_Entry{};
  mapped_[com] = false;
}

Port_Entry* Port_Directory::Find(int com) {
  if (com < First_Com || com > Last_Com || !mapped_[com]) return nullptr;
  return &entries_[com];
}

const Port_Entry* Port_Directory::Find(int com) const {
  if (com < First_Com || com > Last_Com || !mapped_[com]) return nullptr;
  return &entries_[com];
}

bool Port_Directory::Any_Real() const {
  for (int c = First_Com; c <= Last_Com; ++c)
    if (mapped_[c] && !entries_[c].simulated) return true;
  return false;
}

bool Port_Directory::Any_Simulated() const {
  for (int c = First_Com; c <= Last_Com; ++c)
    if (mapped_[c] && entries_[c].simulated) return true;
  return false;
}

// ---- Wire_Trace -------------------------------------------------------------

void Wire_Trace::Event(int com, std::string_view event, std::string_view args) {
  if (!sink_) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%.3f", clock_.Now());
  std::string line = stamp;
  line += " COM";
  line += std::to_string(com);
  line += ' ';
  line += event;
  if (!args.empty()) {
    line += ' ';
    line += args;
  }
  sink_(line);
}

void Wire_Trace::Pass_Line(std::string_view line) {
  if (sink_) sink_(line);
}

std::string Wire_Trace::Hex_Bytes(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// ---- Serial_Port ------------------------------------------------------------

Serial_Port::Serial_Port(Port_Directory& directory, Clock& clock) : directory_(directory), clock_(clock) {}

Serial_Port::~Serial_Port() {
  if (open_ && backend_) {
    try {
      backend_->Close();
    } catch (...) {
    }
  }
}

void Serial_Port::Trace(std::string_view event, std::string_view args) {
  if (trace_) trace_->Event(comm_port_, event, args);
}

void Serial_Port::Set_CommPort(int port) {
  if (open_) throw Port_Error(Port_Error_Kind::Other, "Port already open");
  comm_port_ = port;
}

void Serial_Port::Set_Settings(std::string settings) {
  if (open_) {
    // Changing the framing of an open port is allowed by the serial control;
    // we keep it simple and apply it by reopening.
    settings_ = std::move(settings);
    Set_PortOpen(false);
    Set_PortOpen(true);
    return;
  }
  settings_ = std::move(settings);
}

void Serial_Port::Failed(const Port_Error& e) {
  if (failure_.empty()) failure_ = e.what();
  if (e.Kind() == Port_Error_Kind::Io_Error && open_ && !hung_up_) {
    hung_up_ = true;
    Trace("HANGUP", Printable_Text(e.what()));
  }
  throw e;
}

void Serial_Port::Set_PortOpen(bool open) {
  if (!open) {
    if (!open_) return;
    open_ = false;
    Port_Backend* backend = backend_;
    backend_ = nullptr;
    try {
      if (backend) backend->Close();
    } catch (...) {
      // A vanished device cannot be closed any further; it is closed for us.
    }
    break_ = false;
    Trace("CLOSE");
    return;
  }
  if (open_) return;

  const auto fail = [&](Port_Error_Kind kind, const std::string& why) {
    if (failure_.empty()) failure_ = why;
    Trace("OPENFAIL", settings_ + " " + Printable_Text(why));
    throw Port_Error(kind, why);
  };
  const std::optional<Framing> framing = Parse_Framing(settings_);
  if (!framing) fail(Port_Error_Kind::Bad_Settings, "the settings \"" + settings_ + "\" are not valid");
  Port_Entry* entry = directory_.Find(comm_port_);
  if (!entry || !entry->backend) {
    fail(Port_Error_Kind::No_Such_Port, "no serial device is assigned to COM" + std::to_string(comm_port_));
  }
  try {
    entry->backend->Open(*framing);
  } catch (const Port_Error& e) {
    fail(e.Kind(), e.what());
  }
  backend_ = entry->backend.get();
  open_ = true;
  hung_up_ = false;
  Trace("OPEN", settings_);
  // The modem lines follow the properties as they stand at opening.
  try {
    backend_->Set_DTR(dtr_);
    backend_->Set_RTS(rts_);
  } catch (const Port_Error&) {
    // Lines that cannot be driven (a pseudo-terminal) do not fail the open.
  }
}

void Serial_Port::Copy_Properties_From(const Serial_Port& other) {
  comm_port_ = other.comm_port_;
  settings_ = other.settings_;
  handshaking_ = other.handshaking_;
  dtr_ = other.dtr_;
  rts_ = other.rts_;
  break_ = other.break_;
  input_len_ = other.input_len_;
  hung_up_ = other.hung_up_;
  failure_ = other.failure_;
}

void Serial_Port::Take_Open_Device(Serial_Port& from) {
  Port_Entry* entry = directory_.Find(from.comm_port_);
  if (open_ || !from.open_ || !entry || !entry->backend || !entry->backend->Is_Open()) {
    throw Port_Error(Port_Error_Kind::Not_Open,
                     "no open device on COM" + std::to_string(from.comm_port_) + " to take over");
  }
  Copy_Properties_From(from);
  backend_ = entry->backend.get();
  open_ = true;
  from.open_ = false;
  from.backend_ = nullptr;
}

Port_Backend& Serial_Port::Backend() {
  if (!open_ || !backend_) Failed(Port_Error(Port_Error_Kind::Not_Open, "the port is not open"));
  return *backend_;
}

void Serial_Port::Set_DTREnable(bool on) {
  dtr_ = on;
  if (!open_) return;
  try {
    Backend().Set_DTR(on);
  } catch (const Port_Error& e) {
    Failed(e);
  }
  Trace("DTR", on ? "1" : "0");
}

void Serial_Port::Set_RTSEnable(bool on) {
  rts_ = on;
  if (!open_) return;
  try {
    Backend().Set_RTS(on);
  } catch (const Port_Error& e) {
    Failed(e);
  }
  Trace("RTS", on ? "1" : "0");
}

void Serial_Port::Set_Break(bool on) {
  if (!open_) {
    break_ = false;
    return;
  }
  break_ = on;
  try {
    Backend().Set_Break(on);
  } catch (const Port_Error& e) {
    Failed(e);
  }
  Trace("BREAK", on ? "1" : "0");
}

int Serial_Port::InBufferCount() {
  if (!open_) return 0;
  std::size_t n = 0;
  try {
    n = Backend().Bytes_Waiting();
  } catch (const Port_Error& e) {
    Failed(e);
  }
  return n > 0x7fffffff ? 0x7fffffff : static_cast<int>(n);
}

int Serial_Port::OutBufferCount() {
  if (!open_) return 0;
  std::size_t n = 0;
  try {
    n = Backend().Bytes_Unsent();
  } catch (const Port_Error& e) {
    Failed(e);
  }
  return n > 0x7fffffff ? 0x7fffffff : static_cast<int>(n);
}

std::string Serial_Port::Input() {
  Port_Backend& backend = Backend();
  std::string bytes;
  try {
    const std::size_t waiting = backend.Bytes_Waiting();
    std::size_t want = waiting;
    if (input_len_ > 0 && static_cast<std::size_t>(input_len_) < want) want = static_cast<std::size_t>(input_len_);
    if (want == 0) return {};
    bytes = backend.Read(want);
  } catch (const Port_Error& e) {
    Failed(e);
  }
  if (!bytes.empty()) Trace("RX", Wire_Trace::Hex_Bytes(bytes));
  return bytes;
}

bool Serial_Port::Wait_For_Input(double max_seconds) {
  if (!(max_seconds > 0)) max_seconds = 0;
  if (!open_ || !backend_) {
    clock_.Sleep_Until(clock_.Now() + max_seconds);
    return false;
  }
  return backend_->Wait_For_Input(clock_, max_seconds);
}

void Serial_Port::Output(std::string_view bytes) {
  Port_Backend& backend = Backend();
  if (bytes.empty()) return;
  try {
    backend.Write(bytes);
  } catch (const Port_Error& e) {
    Failed(e);
  }
  Trace("TX", Wire_Trace::Hex_Bytes(bytes));
}

}  // namespace stylomat
