#pragma once
// The tablet driver over kernel input devices: answers the Wintab calls
// for the tablets a scan found, opens contexts and managers, turns each
// device's event frames into packets for the contexts of that device and
// posts the proximity message when a tool leaves.  Where the devices come
// from is the scan's business: the live ones of this machine
// (evdev_source.h) or recordings (recorded_source.h).
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/wintab_api.h"
#include "wintab/input_device.h"

namespace stylomat {

// One device the driver reads.
class Input_Source {
 public:
  virtual ~Input_Source() = default;
  virtual const Input_Device_Description& Description() const = 0;
  // Events are wanted from now on (the first context opened): a live
  // device forgets what waited, a recording starts from its beginning.
  virtual void Start() = 0;
  // No context wants events any more.
  virtual void Stop() = 0;
  // Appends the events that are due now, at most `max`.
  virtual void Read(std::vector<Input_Event>& into, std::size_t max) = 0;
  // True for a live device: what waited before Start only brings the
  // driver's view of the device up to date, it makes no packets.
  virtual bool Catches_Up() const { return false; }
  // The device's state now as events ending in SYN_REPORT (a live device
  // whose pen was near before the driver read it).
  virtual void State_Events(std::vector<Input_Event>& /*into*/) const {}
  // A descriptor that turns readable when events wait, -1 when none.
  virtual int Descriptor() const { return -1; }
  // The session-clock time the next event is due (recordings); a huge
  // value when the device says when itself.
  virtual double Next_Due() const;
  // True when the events read last began a new pass of a recording: every
  // tool is away from the tablet first.
  virtual bool Starts_Over() { return false; }
  // What went wrong with the device (it went away), empty when nothing.
  virtual std::string Problem() const { return {}; }
};

// What a look for devices found.
struct Input_Scan {
  bool Loaded = false;  // the driver can be called (its libraries, a tablet)
  std::vector<std::unique_ptr<Input_Source>> Sources;
  std::string Problem;  // why a tablet found could not be opened
};

struct Input_Driver_Config {
  std::string Wintab_ID;  // IFC_WINTABID
  std::uint16_t Impl_Version = 0x0100;
  std::function<Input_Scan()> Scan;
  // The screen the system context covers (width, height); 0 x 0 without one.
  std::function<std::pair<int, int>()> Screen;
};

class Input_Wintab_Driver final : public Wintab_Api {
 public:
  static constexpr unsigned Spec_Version = 0x0104;
  static constexpr std::size_t Max_Contexts = 16;
  static constexpr std::size_t Max_Managers = 4;
  static constexpr std::size_t Queue_Size = 256;     // packets a context keeps
  static constexpr std::size_t Max_Messages = 64;    // posted, not yet delivered
  static constexpr std::size_t Read_Batch = 4096;    // events read per device and pump

  Input_Wintab_Driver(Clock& clock, Input_Driver_Config config);
  ~Input_Wintab_Driver() override;

  bool Load() override;
  std::size_t WTInfo(unsigned category, unsigned index, std::span<std::uint8_t> out) override;
  Wintab_Handle WTOpen(Wintab_Message_Window& window, const Wintab_Logcontext& context, bool enable) override;
  int WTPacketsGet(Wintab_Handle context, std::span<Wintab_Packet> packets) override;
  bool WTClose(Wintab_Handle context) override;
  Wintab_Handle WTMgrOpen(Wintab_Message_Window& window, unsigned message_base) override;
  bool WTMgrClose(Wintab_Handle manager) override;
  void Dispatch_Messages() override;
  void Wait_For_Packets(double seconds) override;
  std::string Problem() const override;

  std::size_t Device_Count() const { return devices_.size(); }
  // The default digitizing context of a device.
  Wintab_Logcontext Default_Context(std::size_t device) const;

 private:
  struct Device {
    std::unique_ptr<Input_Source> source;
    Input_Device_Model model;
    std::unique_ptr<Input_Frame_Builder> frames;
    std::uint32_t first_cursor = 0;
  };
  struct Context {
    Wintab_Message_Window* window = nullptr;
    Wintab_Logcontext record;
    bool enabled = true;
    std::deque<Wintab_Packet> queue;
  };
  struct Message {
    Wintab_Handle context;
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };

  std::vector<std::uint8_t> Answer(unsigned category, unsigned index) const;
  std::vector<std::uint8_t> Interface_Answer(unsigned index) const;
  std::vector<std::uint8_t> Device_Answer(std::size_t device, unsigned index) const;
  std::vector<std::uint8_t> Cursor_Answer(std::size_t cursor, unsigned index) const;
  std::vector<std::uint8_t> Context_Answer(const Wintab_Logcontext& context, unsigned index) const;
  Wintab_Logcontext System_Context() const;
  std::uint32_t Cursor_Count() const;
  void Pump();
  void Start_Devices();
  void Deliver(std::size_t device, const Frame_Result& frame);
  bool Anything_Queued() const;

  Clock& clock_;
  Input_Driver_Config config_;
  bool loaded_ = false;
  std::string scan_problem_;
  std::vector<Device> devices_;
  std::map<Wintab_Handle, Context> contexts_;
  std::map<Wintab_Handle, Wintab_Message_Window*> managers_;
  std::deque<Message> messages_;
  Wintab_Handle next_handle_ = 1;
  bool started_ = false;
  std::vector<Input_Event> events_;
};

// Where a packet lands in a context: the input extent mapped onto the
// output extent, a negative output extent turning the axis over.
std::int32_t Map_To_Context(std::int64_t value, std::int32_t in_org, std::int32_t in_ext, std::int32_t out_org,
                            std::int32_t out_ext);

}  // namespace stylomat
