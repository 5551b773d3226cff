#pragma once
// Simulated tablets.
//
// A Sim_Device is a state machine that reacts to what a real tablet would
// see on its serial cable: bytes (only when the port's framing equals the
// tablet's own), the DTR and RTS lines, breaks, the port opening and
// closing.  It answers through its Sim_Link; the answer takes the
// transmission time of its bytes at the tablet's baud rate.  Everything is
// evaluated lazily against the session clock, so a simulation on the
// virtual clock runs in microseconds and one on the steady clock in real
// time, without threads.
#include <cstdint>
#include <deque>
#include <memory>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace stylomat {

class Sim_Link;

class Sim_Device {
 public:
  explicit Sim_Device(Framing framing) : framing_(framing) {}
  virtual ~Sim_Device() = default;

  // Each hook is called at the simulated time link.Now().
  virtual void On_Byte(Sim_Link& link, unsigned char byte) {
    (void)link;
    (void)byte;
  }
  // DTR or RTS changed (the port's open and close change them too).
  virtual void On_Lines(Sim_Link& link, bool dtr, bool rts) {
    (void)link;
    (void)dtr;
    (void)rts;
  }
  virtual void On_Break(Sim_Link& link, bool on) {
    (void)link;
    (void)on;
  }
  // The time asked for with Sim_Link::Set_Timer has come.
  virtual void On_Timer(Sim_Link& link) { (void)link; }

  const Framing& Device_Framing() const { return framing_; }
  void Set_Device_Framing(const Framing& f) { framing_ = f; }

 private:
  Framing framing_;
};

// Faults a test (or a technician trying the program) can inject.
struct Sim_Faults {
  bool busy = false;            // the port cannot be opened: held by another program
  bool missing = false;         // the device does not exist
  bool drop_replies = false;    // the tablet's bytes never arrive
  int truncate_replies = -1;    // >= 0: each reply is cut to this many bytes
  std::string noise;            // bytes inserted before each reply
  double reply_delay = 0.0;     // seconds added before each reply
  double vanish_at = -1.0;      // >= 0: at this time the device disappears (I/O errors)
  bool never_drains = false;    // OutBufferCount never reaches 0
};

// A serial backend whose far end is a simulated tablet.
class Simulated_Port final : public Port_Backend {
 public:
  Simulated_Port(Clock& clock, std::unique_ptr<Sim_Device> device, Sim_Faults faults = {});
  ~Simulated_Port() override;

  void Open(const Framing& framing) override;
  void Close() override;
  bool Is_Open() const override { return open_; }
  std::size_t Bytes_Waiting() override;
  std::string Read(std::size_t max_bytes) override;
  void Write(std::string_view bytes) override;
  std::size_t Bytes_Unsent() override;
  void Set_DTR(bool on) override;
  void Set_RTS(bool on) override;
  void Set_Break(bool on) override;
  // Sleeps the clock to the simulation's next event (a byte on the line, a
  // timer of the tablet, the moment the device vanishes) until a byte
  // waits or the time is up: on the virtual clock exact and instant.
  bool Wait_For_Input(Clock& clock, double max_seconds) override;

  Sim_Faults& Faults() { return faults_; }
  Sim_Device& Device() { return *device_; }
  // Everything the tablet has heard, in order (bytes only).
  const std::string& Heard() const { return heard_; }

  // Whether a character sent at one framing is understood at another.  By
  // default the framings must be equal; a tablet served on a
  // pseudo-terminal compares only what the pty shows of them.
  using Framing_Match = bool (*)(const Framing& sent, const Framing& received);
  void Set_Framing_Match(Framing_Match match) { match_ = match; }
  // When the next queued event happens (a character arriving at either
  // end, the tablet's timer); infinity when nothing is queued.
  double Next_Event_Time() const;

 private:
  friend class Sim_Link;
  enum class Kind { Host_Byte, Host_Lines, Host_Break, Device_Byte, Timer };
  struct Event {
    double time;
    std::uint64_t seq;
    Kind kind;
    unsigned char byte = 0;
    bool a = false;
    bool b = false;
    Framing framing;  // framing the byte was sent with
    bool operator>(const Event& o) const { return time != o.time ? time > o.time : seq > o.seq; }
  };

  void Advance();  // process every event up to the clock's now
  void Check_Vanished();
  void Push(Event e);
  void Push_Lines();  // the host's DTR and RTS as they stand now
  void Device_Send(double at, std::string_view bytes);
  // Queues bytes one character time apart from start; returns when the last
  // one has been transmitted.
  double Queue_Bytes(Kind kind, std::string_view bytes, const Framing& framing, double start);

  Clock& clock_;
  std::unique_ptr<Sim_Device> device_;
  Sim_Faults faults_;
  std::priority_queue<Event, std::vector<Event>, std::greater<Event>> events_;
  std::uint64_t seq_ = 0;
  bool open_ = false;
  Framing host_framing_;
  bool dtr_ = false;
  bool rts_ = false;
  bool break_ = false;
  double host_tx_free_ = 0.0;    // when the host's transmitter is idle again
  double device_tx_free_ = 0.0;  // when the tablet's transmitter is idle again
  double timer_at_ = -1.0;
  std::deque<unsigned char> input_;  // bytes received by the host, not yet read
  std::string heard_;
  double now_ = 0.0;  // time of the event being processed
  Framing_Match match_ = nullptr;  // nullptr: equal framings
  bool Understood(const Framing& sent, const Framing& received) const {
    return match_ ? match_(sent, received) : sent == received;
  }
};

// What a device may do while it handles an event.
class Sim_Link {
 public:
  explicit Sim_Link(Simulated_Port& port) : port_(port) {}
  double Now() const { return port_.now_; }
  // Queue bytes to the host, starting when the tablet's transmitter is free.
  void Send(std::string_view bytes) { port_.Device_Send(port_.now_, bytes); }
  void Send_After(double delay, std::string_view bytes) { port_.Device_Send(port_.now_ + delay, bytes); }
  // One timer; a new call replaces the pending one; a negative time clears it.
  void Set_Timer(double at);
  bool Host_DTR() const { return port_.dtr_; }
  bool Host_RTS() const { return port_.rts_; }
  bool Host_Open() const { return port_.open_; }
  // The tablet's transmitter becomes idle at this time.
  double Transmit_Free_At() const { return port_.device_tx_free_; }
  // The device disappears at this time, as with Sim_Faults::vanish_at (an
  // adapter pulled out); an earlier time already set stands.
  void Vanish_At(double at) {
    double& vanish_at = port_.faults_.vanish_at;
    if (vanish_at < 0 || at < vanish_at) vanish_at = at;
  }

 private:
  Simulated_Port& port_;
};

}  // namespace stylomat
