// A tablet that answers anything at all: every byte the program sends and
// every change of its modem lines brings the next piece of the input back,
// at one of the framings the probes use.  A whole port search, the settings
// query of the configuration windows, the settings image decoders and a
// KORV read must end without a crash, an escaped exception, a read past a
// buffer or a wait without end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/session.h"
#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/sim_device.h"
#include "superset/korv_protocol.h"
#include "superset/superset_form.h"

namespace {

using namespace stylomat;

const char* const Framings[] = {"1200,M,7,2", "9600,n,8,2", "19200,n,8,2", "9600,o,8,1", "9600,E,7,2", "9600,N,8,1"};
constexpr std::size_t Framing_Count = sizeof Framings / sizeof Framings[0];

class Babbling_Tablet final : public Sim_Device {
 public:
  Babbling_Tablet(const std::uint8_t* data, std::size_t size)
      : Sim_Device(*Parse_Framing(Framings[size ? data[0] % Framing_Count : 0])), data_(data), size_(size), pos_(1) {}

  void On_Byte(Sim_Link& link, unsigned char) override { Babble(link); }
  void On_Lines(Sim_Link& link, bool, bool) override { Babble(link); }
  void On_Break(Sim_Link& link, bool) override { Babble(link); }

 private:
  void Babble(Sim_Link& link) {
    if (pos_ >= size_) return;
    const std::uint8_t control = data_[pos_++];
    if (control == 0xFF && pos_ < size_) {
      // Now and then the tablet changes its framing, as real ones do.
      Set_Device_Framing(*Parse_Framing(Framings[data_[pos_++] % Framing_Count]));
      return;
    }
    std::size_t n = control % 48;
    if (n > size_ - pos_) n = size_ - pos_;
    link.Send(std::string(reinterpret_cast<const char*>(data_ + pos_), n));
    pos_ += n;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter(data[0] & 0x80);
  Port_Entry entry;
  entry.device = "simulated";
  entry.simulated = true;
  entry.backend = std::make_unique<Simulated_Port>(clock, std::make_unique<Babbling_Tablet>(data, size));
  ports.Set(1, std::move(entry));
  Session s(clock, ports, prompter);
  s.Debug_Mode = data[0] & 0x40;
  s.Com_Available[1] = true;
  s.Port_Number = 1;

  Search_Port(s);
  Check(s.Search_Status >= -2 && s.Search_Status <= 0);
  // A search is paced by its waits; a few minutes of tablet time at most.
  Check(clock.Now() < 300.0);

  Open_Config_Port(s);
  Check(s.Search_Status >= -2 && s.Search_Status <= 0);

  if (s.port.PortOpen()) {
    SuperSet_Form form(s, Config_Window::KORV_form);
    KORV_Protocol korv(form);
    (void)korv.Read_SuperSets(90, 99);
  }
  Check(clock.Now() < 600.0);
  return 0;
}
