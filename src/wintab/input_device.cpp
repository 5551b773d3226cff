#include "wintab/input_device.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstdio>

namespace stylomat {

namespace {

struct Tool_Kind {
  unsigned code;
  const char* name;
  bool pen_like;
};

// The tools a tablet's kernel driver reports, in cursor order.
constexpr Tool_Kind Tool_Kinds[] = {
    {BTN_TOOL_PEN, "Pen", true},         {BTN_TOOL_RUBBER, "Eraser", true},
    {BTN_TOOL_BRUSH, "Brush", true},     {BTN_TOOL_PENCIL, "Pencil", true},
    {BTN_TOOL_AIRBRUSH, "Airbrush", true}, {BTN_TOOL_MOUSE, "Mouse", false},
    {BTN_TOOL_LENS, "Lens", false},
};

constexpr unsigned Pen_Buttons[] = {BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2, BTN_STYLUS3};
constexpr unsigned Puck_Buttons[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA, BTN_FORWARD, BTN_BACK,
                                     BTN_TASK, BTN_0,    BTN_1,     BTN_2,      BTN_3,    BTN_4,     BTN_5,
                                     BTN_6,    BTN_7,   BTN_8,     BTN_9};

const Tool_Kind* Find_Kind(unsigned code) {
  for (const Tool_Kind& k : Tool_Kinds)
    if (k.code == code) return &k;
  return nullptr;
}

bool Has_Key(const Input_Device_Description& d, unsigned code) { return d.Keys.count(code) != 0; }

bool Has_Pen_Button(const Input_Device_Description& d) {
  return std::any_of(std::begin(Pen_Buttons), std::end(Pen_Buttons), [&](unsigned b) { return Has_Key(d, b); });
}

std::string Without_Separators(std::string text) {
  std::replace(text.begin(), text.end(), ';', ',');
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

}  // namespace

Wintab_Axis Map_Position_Axis(const Input_Absinfo& abs) {
  Wintab_Axis axis;
  axis.Min = abs.minimum;
  axis.Max = abs.maximum;
  if (abs.resolution > 0) {
    axis.Units = TU_CENTIMETERS;
    const std::uint64_t fixed = static_cast<std::uint64_t>(abs.resolution) * 10u * 65536u;
    axis.Resolution = static_cast<std::uint32_t>(std::min<std::uint64_t>(fixed, 0xFFFFFFFFu));
  }
  return axis;
}

Wintab_Axis Map_Pressure_Axis(const Input_Absinfo& abs) {
  Wintab_Axis axis;
  axis.Min = 0;
  const std::int64_t range = static_cast<std::int64_t>(abs.maximum) - abs.minimum;
  axis.Max = static_cast<std::int32_t>(std::clamp<std::int64_t>(range, 0, INT32_MAX));
  return axis;
}

std::vector<unsigned> Tool_Buttons(const Input_Device_Description& d, unsigned tool_code) {
  const Tool_Kind* kind = Find_Kind(tool_code);
  const bool pen = kind ? kind->pen_like : Has_Pen_Button(d);
  std::vector<unsigned> buttons;
  if (pen) {
    for (unsigned b : Pen_Buttons)
      if (Has_Key(d, b)) buttons.push_back(b);
  } else {
    for (unsigned b : Puck_Buttons)
      if (Has_Key(d, b)) buttons.push_back(b);
  }
  return buttons;
}

std::vector<Input_Tool> Map_Tools(const Input_Device_Description& d) {
  const bool pressure = d.Abs.count(ABS_PRESSURE) != 0;
  std::vector<Input_Tool> tools;
  for (const Tool_Kind& k : Tool_Kinds) {
    if (!Has_Key(d, k.code)) continue;
    Input_Tool t;
    t.Code = k.code;
    t.Name = k.name;
    t.Buttons = Tool_Buttons(d, k.code);
    t.Pressure_Button = k.pen_like && pressure && Has_Key(d, BTN_TOUCH);
    tools.push_back(std::move(t));
  }
  if (tools.empty()) {
    Input_Tool t;
    const bool pen = Has_Pen_Button(d);
    t.Name = pen ? "Pen" : "Mouse";
    t.Buttons = Tool_Buttons(d, 0);
    t.Pressure_Button = pen && pressure && Has_Key(d, BTN_TOUCH);
    tools.push_back(std::move(t));
  }
  return tools;
}

std::uint32_t Button_Mask(const Input_Tool& tool, const std::set<unsigned>& keys_down) {
  std::uint32_t mask = 0;
  for (std::size_t bit = 0; bit < tool.Buttons.size() && bit < 32; ++bit) {
    if (keys_down.count(tool.Buttons[bit])) mask |= 1u << bit;
  }
  return mask;
}

std::string Device_Version_Text(std::uint16_t version) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%02x", static_cast<unsigned>(version >> 8), static_cast<unsigned>(version & 0xFF));
  return text;
}

std::string Device_Name_Text(const Input_Device_Description& d) {
  std::string format = Without_Separators(d.Node);
  if (!d.Driver.empty()) format += ", driver " + Without_Separators(d.Driver);
  return Without_Separators(d.Name) + ";Version " + Device_Version_Text(d.Version) + ";Format: " + format;
}

std::optional<Input_Device_Model> Map_Device(const Input_Device_Description& d) {
  const auto x = d.Abs.find(ABS_X), y = d.Abs.find(ABS_Y);
  if (x == d.Abs.end() || y == d.Abs.end()) return std::nullopt;
  Input_Device_Model m;
  m.Device_Name = Device_Name_Text(d);
  m.X = Map_Position_Axis(x->second);
  m.Y = Map_Position_Axis(y->second);
  if (const auto z = d.Abs.find(ABS_Z); z != d.Abs.end()) m.Z = Map_Position_Axis(z->second);
  if (const auto p = d.Abs.find(ABS_PRESSURE); p != d.Abs.end()) {
    m.Pressure = Map_Pressure_Axis(p->second);
    m.Has_Pressure = true;
  }
  m.Tools = Map_Tools(d);
  return m;
}

// ---- frames ------------------------------------------------------------

Input_Frame_Builder::Input_Frame_Builder(const Input_Device_Model& model, const Input_Device_Description& d)
    : tools_(model.Tools), tool_down_(model.Tools.size(), false), implicit_tool_(model.Tools.size() == 1 &&
                                                                                  model.Tools[0].Code == 0) {
  if (const auto p = d.Abs.find(ABS_PRESSURE); p != d.Abs.end()) pressure_min_ = p->second.minimum;
  if (const auto x = d.Abs.find(ABS_X); x != d.Abs.end()) x_ = x->second.value;
  if (const auto y = d.Abs.find(ABS_Y); y != d.Abs.end()) y_ = y->second.value;
  if (implicit_tool_) tool_ = 0;
}

Frame_Result Input_Frame_Builder::Current(bool in_proximity) const {
  Frame_Result r;
  r.Packet = true;
  r.Tool = in_proximity ? tool_ : shown_tool_;
  r.X = x_;
  r.Y = y_;
  if (in_proximity) {
    r.Buttons = Button_Mask(tools_[static_cast<std::size_t>(tool_)], keys_down_);
    r.Pressure = std::max(0, pressure_ - pressure_min_);
  } else {
    r.Left_Proximity = true;
  }
  return r;
}

std::optional<Frame_Result> Input_Frame_Builder::Feed(const Input_Event& e) {
  if (e.Type == EV_SYN && e.Code == SYN_DROPPED) {
    dropping_ = true;
    return std::nullopt;
  }
  if (dropping_) {
    if (e.Type == EV_SYN && e.Code == SYN_REPORT) dropping_ = false;
    return std::nullopt;
  }
  if (e.Type == EV_ABS) {
    std::int32_t* target = e.Code == ABS_X ? &x_ : e.Code == ABS_Y ? &y_ : e.Code == ABS_PRESSURE ? &pressure_ : nullptr;
    if (target && *target != e.Value) {
      *target = e.Value;
      changed_ = true;
    }
    return std::nullopt;
  }
  if (e.Type == EV_KEY) {
    for (std::size_t i = 0; i < tools_.size(); ++i) {
      if (tools_[i].Code == 0 || tools_[i].Code != e.Code) continue;
      const bool down = e.Value != 0;
      if (tool_down_[i] == down) return std::nullopt;
      tool_down_[i] = down;
      changed_ = true;
      if (down) {
        tool_ = static_cast<int>(i);
      } else if (tool_ == static_cast<int>(i)) {
        tool_ = -1;
        for (std::size_t j = 0; j < tool_down_.size(); ++j)
          if (tool_down_[j]) tool_ = static_cast<int>(j);
      }
      return std::nullopt;
    }
    const bool was_down = keys_down_.count(e.Code) != 0;
    if (e.Value != 0 && !was_down) {
      keys_down_.insert(e.Code);
      changed_ = true;
    } else if (e.Value == 0 && was_down) {
      keys_down_.erase(e.Code);
      changed_ = true;
    }
    return std::nullopt;
  }
  if (e.Type != EV_SYN || e.Code != SYN_REPORT || !changed_) return std::nullopt;
  changed_ = false;
  if (tool_ >= 0) {
    shown_tool_ = tool_;
    return Current(true);
  }
  if (shown_tool_ < 0) return std::nullopt;
  Frame_Result leave = Current(false);
  shown_tool_ = -1;
  return leave;
}

std::optional<Frame_Result> Input_Frame_Builder::Release_All() {
  keys_down_.clear();
  changed_ = false;
  dropping_ = false;
  if (implicit_tool_) return std::nullopt;
  std::fill(tool_down_.begin(), tool_down_.end(), false);
  tool_ = -1;
  if (shown_tool_ < 0) return std::nullopt;
  Frame_Result leave = Current(false);
  shown_tool_ = -1;
  return leave;
}

}  // namespace stylomat
