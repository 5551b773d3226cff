#include "wintab/input_driver.h"

#include <linux/input-event-codes.h>
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "wintab/wintab_info.h"

namespace stylomat {

namespace {

constexpr std::uint32_t HWC_INTEGRATED = 0x0001;
constexpr std::uint32_t CXO_SYSTEM = 0x0001;
constexpr std::size_t Name_Field_Size = 40;

std::vector<std::uint8_t> Number(std::uint32_t value, std::size_t width) {
  std::vector<std::uint8_t> bytes(width);
  Encode_Number(value, width, bytes);
  return bytes;
}

std::vector<std::uint8_t> Text(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.size() + 1);
  Encode_Text(text, bytes);
  return bytes;
}

std::vector<std::uint8_t> Axis(const Wintab_Axis& axis) {
  std::vector<std::uint8_t> bytes(Axis_Record_Size);
  Encode_Axis(axis, bytes);
  return bytes;
}

// A category's record: the answers of its indexes one after another.
template <typename Answer_Of>
std::vector<std::uint8_t> Whole_Category(unsigned last_index, Answer_Of answer) {
  std::vector<std::uint8_t> all;
  for (unsigned i = 1; i <= last_index; ++i) {
    const std::vector<std::uint8_t> part = answer(i);
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

}  // namespace

double Input_Source::Next_Due() const { return std::numeric_limits<double>::infinity(); }

std::int32_t Map_To_Context(std::int64_t value, std::int32_t in_org, std::int32_t in_ext, std::int32_t out_org,
                            std::int32_t out_ext) {
  const std::int64_t ext_in = std::llabs(static_cast<long long>(in_ext));
  const std::int64_t ext_out = std::llabs(static_cast<long long>(out_ext));
  if (ext_in == 0) return out_org;
  const std::int64_t offset = std::clamp<std::int64_t>(value - in_org, 0, ext_in);
  std::int64_t mapped = offset * ext_out / ext_in;
  if (out_ext < 0) mapped = ext_out - mapped;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(out_org + mapped, INT32_MIN, INT32_MAX));
}

Input_Wintab_Driver::Input_Wintab_Driver(Clock& clock, Input_Driver_Config config)
    : clock_(clock), config_(std::move(config)) {}

Input_Wintab_Driver::~Input_Wintab_Driver() {
  for (Device& d : devices_) d.source->Stop();
}

bool Input_Wintab_Driver::Load() {
  // Devices are looked for again only while nothing of the driver is open.
  if (!contexts_.empty() || !managers_.empty()) return loaded_;
  for (Device& d : devices_) d.source->Stop();
  devices_.clear();
  started_ = false;
  Input_Scan scan = config_.Scan ? config_.Scan() : Input_Scan{};
  loaded_ = scan.Loaded;
  scan_problem_ = scan.Problem;
  std::uint32_t cursor = 0;
  for (auto& source : scan.Sources) {
    std::optional<Input_Device_Model> model = Map_Device(source->Description());
    if (!model) continue;
    Device d;
    d.model = std::move(*model);
    d.frames = std::make_unique<Input_Frame_Builder>(d.model, source->Description());
    d.first_cursor = cursor;
    cursor += static_cast<std::uint32_t>(d.model.Tools.size());
    d.source = std::move(source);
    devices_.push_back(std::move(d));
  }
  return loaded_;
}

std::string Input_Wintab_Driver::Problem() const {
  std::string problem = scan_problem_;
  for (const Device& d : devices_) {
    const std::string p = d.source->Problem();
    if (p.empty()) continue;
    if (!problem.empty()) problem += " ";
    problem += p;
  }
  return problem;
}

std::uint32_t Input_Wintab_Driver::Cursor_Count() const {
  std::uint32_t n = 0;
  for (const Device& d : devices_) n += static_cast<std::uint32_t>(d.model.Tools.size());
  return n;
}

Wintab_Logcontext Input_Wintab_Driver::Default_Context(std::size_t device) const {
  Wintab_Logcontext c;
  c.Name = "Stylomat Digitizing";
  c.Options = CXO_MESSAGES;
  c.MsgBase = WT_DEFBASE;
  c.Device = static_cast<std::uint32_t>(device);
  c.PktData = Wintab_Packet_Data;
  c.PktMode = 0;
  c.MoveMask = Wintab_Packet_Data;
  c.BtnDnMask = 0xFFFFFFFF;
  c.BtnUpMask = 0xFFFFFFFF;
  if (device < devices_.size()) {
    const Input_Device_Model& m = devices_[device].model;
    c.InOrgX = m.X.Min;
    c.InOrgY = m.Y.Min;
    c.InExtX = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{m.X.Max} - m.X.Min, 0, INT32_MAX));
    c.InExtY = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{m.Y.Max} - m.Y.Min, 0, INT32_MAX));
    c.OutExtX = c.InExtX;
    c.OutExtY = c.InExtY;
  }
  const auto [width, height] = config_.Screen ? config_.Screen() : std::pair<int, int>{0, 0};
  c.SysExtX = width;
  c.SysExtY = height;
  return c;
}

Wintab_Logcontext Input_Wintab_Driver::System_Context() const {
  Wintab_Logcontext c = Default_Context(0);
  c.Name = "Stylomat System";
  c.Options |= CXO_SYSTEM;
  c.OutOrgX = c.SysOrgX;
  c.OutOrgY = c.SysOrgY;
  c.OutExtX = c.SysExtX;
  c.OutExtY = c.SysExtY;
  return c;
}

std::vector<std::uint8_t> Input_Wintab_Driver::Interface_Answer(unsigned index) const {
  switch (index) {
    case wti::IFC_WINTABID: return Text(config_.Wintab_ID);
    case wti::IFC_SPECVERSION: return Number(Spec_Version, 2);
    case wti::IFC_IMPLVERSION: return Number(config_.Impl_Version, 2);
    case wti::IFC_NDEVICES: return Number(static_cast<std::uint32_t>(devices_.size()), 4);
    case wti::IFC_NCURSORS: return Number(Cursor_Count(), 4);
    case wti::IFC_NCONTEXTS: return Number(Max_Contexts, 4);
    case wti::IFC_CTXOPTIONS: return Number(CXO_MESSAGES, 4);
    case wti::IFC_NEXTENSIONS: return Number(0, 4);
    case wti::IFC_NMANAGERS: return Number(Max_Managers, 4);
    default: return {};
  }
}

std::vector<std::uint8_t> Input_Wintab_Driver::Device_Answer(std::size_t device, unsigned index) const {
  const Device& d = devices_[device];
  const Input_Device_Model& m = d.model;
  switch (index) {
    case wti::DVC_NAME: return Text(m.Device_Name);
    case wti::DVC_HARDWARE:
      return Number(d.source->Description().Properties.count(INPUT_PROP_DIRECT) ? HWC_INTEGRATED : 0, 4);
    case wti::DVC_NCSRTYPES: return Number(static_cast<std::uint32_t>(m.Tools.size()), 4);
    case wti::DVC_FIRSTCSR: return Number(d.first_cursor, 4);
    case wti::DVC_PKTDATA: return Number(Wintab_Packet_Data, 4);
    case wti::DVC_PKTMODE: return Number(0, 4);
    case wti::DVC_CSRDATA: return Number(0, 4);
    case wti::DVC_X: return Axis(m.X);
    case wti::DVC_Y: return Axis(m.Y);
    case wti::DVC_Z: return m.Z ? Axis(*m.Z) : std::vector<std::uint8_t>{};
    case wti::DVC_NPRESSURE: return m.Has_Pressure ? Axis(m.Pressure) : std::vector<std::uint8_t>{};
    default: return {};  // the packet rate, margins and the rest are not known
  }
}

std::vector<std::uint8_t> Input_Wintab_Driver::Cursor_Answer(std::size_t cursor, unsigned index) const {
  for (const Device& d : devices_) {
    if (cursor < d.first_cursor || cursor >= d.first_cursor + d.model.Tools.size()) continue;
    const Input_Tool& t = d.model.Tools[cursor - d.first_cursor];
    const std::uint32_t buttons = static_cast<std::uint32_t>(std::min<std::size_t>(t.Buttons.size(), 32));
    switch (index) {
      case wti::CSR_NAME: return Text(t.Name);
      case wti::CSR_ACTIVE: return Number(1, 4);
      case wti::CSR_PKTDATA: return Number(Wintab_Packet_Data, 4);
      case wti::CSR_BUTTONS: return Number(buttons, 1);
      case wti::CSR_BUTTONBITS: return Number(buttons, 1);
      // The program reads this as whether the tool has a pressure button:
      // 1 for a tip read by pressure, 0 for none.
      case wti::CSR_NPBUTTON: return Number(t.Pressure_Button ? 1 : 0, 1);
      default: return {};
    }
  }
  return {};
}

std::vector<std::uint8_t> Input_Wintab_Driver::Context_Answer(const Wintab_Logcontext& context, unsigned index) const {
  std::vector<std::uint8_t> record(Logcontext_Record_Size);
  Encode_Logcontext(context, record);
  if (index == 0) return record;
  if (index == 1) return {record.begin(), record.begin() + Name_Field_Size};
  const std::size_t at = Name_Field_Size + 4 * (static_cast<std::size_t>(index) - 2);
  if (at + 4 > record.size()) return {};
  return {record.begin() + static_cast<std::ptrdiff_t>(at), record.begin() + static_cast<std::ptrdiff_t>(at + 4)};
}

std::vector<std::uint8_t> Input_Wintab_Driver::Answer(unsigned category, unsigned index) const {
  if (category == wti::INTERFACE) {
    if (index == 0) return Whole_Category(wti::IFC_NMANAGERS, [&](unsigned i) { return Interface_Answer(i); });
    return Interface_Answer(index);
  }
  if (category == wti::DEFCONTEXT) {
    if (devices_.empty()) return {};
    return Context_Answer(Default_Context(0), index);
  }
  if (category == wti::DEFSYSCTX) return Context_Answer(System_Context(), index);
  if (category >= wti::DEVICES && category < wti::CURSORS) {
    const std::size_t device = category - wti::DEVICES;
    if (device >= devices_.size()) return {};
    if (index == 0) return Whole_Category(wti::DVC_NPRESSURE, [&](unsigned i) { return Device_Answer(device, i); });
    return Device_Answer(device, index);
  }
  if (category >= wti::CURSORS && category < wti::CURSORS + 100000) {
    const std::size_t cursor = category - wti::CURSORS;
    if (index == 0) return Whole_Category(wti::CSR_NPBUTTON, [&](unsigned i) { return Cursor_Answer(cursor, i); });
    return Cursor_Answer(cursor, index);
  }
  return {};
}

std::size_t Input_Wintab_Driver::WTInfo(unsigned category, unsigned index, std::span<std::uint8_t> out) {
  if (!loaded_) return 0;
  const std::vector<std::uint8_t> answer = Answer(category, index);
  std::copy_n(answer.begin(), std::min(answer.size(), out.size()), out.begin());
  return answer.size();
}

Wintab_Handle Input_Wintab_Driver::WTOpen(Wintab_Message_Window& window, const Wintab_Logcontext& context,
                                          bool enable) {
  if (!loaded_ || context.Device >= devices_.size() || contexts_.size() >= Max_Contexts) return 0;
  // Only absolute packets of the fields the devices deliver.
  if ((context.PktData & ~Wintab_Packet_Data) != 0 || context.PktMode != 0) return 0;
  if (!started_) Start_Devices();
  const Wintab_Handle handle = next_handle_++;
  Context& c = contexts_[handle];
  c.window = &window;
  c.record = context;
  c.enabled = enable;
  return handle;
}

bool Input_Wintab_Driver::WTClose(Wintab_Handle context) {
  if (contexts_.erase(context) == 0) return false;
  std::erase_if(messages_, [&](const Message& m) { return m.context == context; });
  if (contexts_.empty() && started_) {
    for (Device& d : devices_) d.source->Stop();
    started_ = false;
  }
  return true;
}

Wintab_Handle Input_Wintab_Driver::WTMgrOpen(Wintab_Message_Window& window, unsigned /*message_base*/) {
  if (!loaded_ || managers_.size() >= Max_Managers) return 0;
  const Wintab_Handle handle = next_handle_++;
  managers_[handle] = &window;
  return handle;
}

bool Input_Wintab_Driver::WTMgrClose(Wintab_Handle manager) { return managers_.erase(manager) != 0; }

void Input_Wintab_Driver::Deliver(std::size_t device, const Frame_Result& frame) {
  const Device& d = devices_[device];
  for (auto& [handle, c] : contexts_) {
    if (!c.enabled || c.record.Device != device) continue;
    const Wintab_Logcontext& r = c.record;
    Wintab_Packet p;
    if (r.PktData & PK_STATUS) p.Status = frame.Left_Proximity ? TPS_PROXIMITY : 0;
    if (r.PktData & PK_CURSOR) p.Cursor = d.first_cursor + static_cast<std::uint32_t>(std::max(frame.Tool, 0));
    if (r.PktData & PK_BUTTONS) p.Buttons = frame.Buttons;
    // The kernel counts Y downwards; the driver's own Y grows upwards from
    // the axis minimum, as a context's positive output extent expects.
    const std::int64_t up_y = std::int64_t{d.model.Y.Max} - frame.Y + d.model.Y.Min;
    if (r.PktData & PK_X) p.X = Map_To_Context(frame.X, r.InOrgX, r.InExtX, r.OutOrgX, r.OutExtX);
    if (r.PktData & PK_Y) p.Y = Map_To_Context(up_y, r.InOrgY, r.InExtY, r.OutOrgY, r.OutExtY);
    if (r.PktData & PK_NORMAL_PRESSURE) p.Normal_Pressure = static_cast<std::uint32_t>(frame.Pressure);
    if (c.queue.size() >= Queue_Size) c.queue.pop_front();
    c.queue.push_back(p);
    if (frame.Left_Proximity && (r.Options & CXO_MESSAGES) && messages_.size() < Max_Messages) {
      messages_.push_back({handle, r.MsgBase + WT_PROXIMITY_OFFSET, handle, 0});
    }
  }
}

void Input_Wintab_Driver::Start_Devices() {
  started_ = true;
  for (Device& d : devices_) {
    d.source->Start();
    (void)d.frames->Release_All();
    if (!d.source->Catches_Up()) continue;
    for (int batch = 0; batch < 64; ++batch) {
      events_.clear();
      d.source->Read(events_, Read_Batch);
      if (events_.empty()) break;
      for (const Input_Event& e : events_) (void)d.frames->Feed(e);
    }
    events_.clear();
    d.source->State_Events(events_);
    for (const Input_Event& e : events_) (void)d.frames->Feed(e);
  }
}

void Input_Wintab_Driver::Pump() {
  if (!started_) return;
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    Device& d = devices_[i];
    events_.clear();
    d.source->Read(events_, Read_Batch);
    if (d.source->Starts_Over()) {
      if (const auto leave = d.frames->Release_All()) Deliver(i, *leave);
    }
    for (const Input_Event& e : events_) {
      if (const auto frame = d.frames->Feed(e)) Deliver(i, *frame);
    }
  }
}

int Input_Wintab_Driver::WTPacketsGet(Wintab_Handle context, std::span<Wintab_Packet> packets) {
  Pump();
  const auto it = contexts_.find(context);
  if (it == contexts_.end()) return 0;
  std::deque<Wintab_Packet>& queue = it->second.queue;
  std::size_t n = 0;
  while (n < packets.size() && !queue.empty()) {
    packets[n++] = queue.front();
    queue.pop_front();
  }
  return static_cast<int>(n);
}

void Input_Wintab_Driver::Dispatch_Messages() {
  Pump();
  std::deque<Message> due;
  due.swap(messages_);
  for (const Message& m : due) {
    const auto it = contexts_.find(m.context);
    if (it == contexts_.end()) continue;
    it->second.window->Send_Message(m.message, m.wparam, m.lparam);
  }
}

bool Input_Wintab_Driver::Anything_Queued() const {
  if (!messages_.empty()) return true;
  return std::any_of(contexts_.begin(), contexts_.end(), [](const auto& c) { return !c.second.queue.empty(); });
}

void Input_Wintab_Driver::Wait_For_Packets(double seconds) {
  Pump();
  if (Anything_Queued()) return;
  const double now = clock_.Now();
  double until = now + std::max(0.0, seconds);
  std::vector<pollfd> fds;
  if (started_) {
    for (const Device& d : devices_) {
      until = std::min(until, d.source->Next_Due());
      if (d.source->Descriptor() >= 0) fds.push_back({d.source->Descriptor(), POLLIN, 0});
    }
  }
  if (fds.empty()) {
    clock_.Sleep_Until(until);
    return;
  }
  const int timeout_ms = static_cast<int>(std::ceil(std::max(0.0, until - now) * 1000.0));
  (void)::poll(fds.data(), fds.size(), timeout_ms);
}

}  // namespace stylomat
