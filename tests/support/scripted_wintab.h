#pragma once
// A tablet driver whose every answer a test sets: WTInfo answers by
// category and index, packets to hand out, whether contexts and managers
// open; it records what was opened and closed.
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/wintab_api.h"

namespace stylomat::test {

class Scripted_Wintab final : public Wintab_Api {
 public:
  bool loads = true;
  bool managers_open = true;
  bool contexts_open = true;
  std::map<std::pair<unsigned, unsigned>, std::vector<std::uint8_t>> answers;
  std::deque<Wintab_Packet> packets;
  std::vector<std::string> calls;  // "WTMgrOpen 1", "WTOpen 2", "WTClose 2", ...
  std::vector<std::pair<unsigned, unsigned>> asked;
  std::vector<Wintab_Message_Window*> windows;  // of the contexts opened
  Wintab_Logcontext opened;                     // the context opened last

  void Text(unsigned c, unsigned i, const std::string& text) {
    std::vector<std::uint8_t> b(text.size() + 1);
    Encode_Text(text, b);
    answers[{c, i}] = b;
  }
  void Number(unsigned c, unsigned i, std::uint32_t v, std::size_t width = 4) {
    std::vector<std::uint8_t> b(width);
    Encode_Number(v, width, b);
    answers[{c, i}] = b;
  }
  void Axis(unsigned c, unsigned i, const Wintab_Axis& axis) {
    std::vector<std::uint8_t> b(Axis_Record_Size);
    Encode_Axis(axis, b);
    answers[{c, i}] = b;
  }
  void Context(const Wintab_Logcontext& context) {
    std::vector<std::uint8_t> b(Logcontext_Record_Size);
    Encode_Logcontext(context, b);
    answers[{3, 0}] = b;
  }
  // A tablet with one pen: the answers a working driver gives.
  void Pen_Tablet(const std::string& name = "Lumio T4;Version 2.1;Format: serial") {
    Number(1, 0, 1);
    Text(1, 1, "Scripted driver");
    Number(1, 2, 0x0104, 2);
    Number(1, 3, 0x0200, 2);
    Number(1, 4, 1);
    Number(1, 5, 1);
    Text(100, 1, name);
    Number(100, 3, 1);
    Axis(100, 12, {0, 20000, TU_INCHES, 1000u << 16});
    Axis(100, 13, {0, 15000, TU_INCHES, 1000u << 16});
    Axis(100, 15, {0, 1023, TU_NONE, 0});
    Text(200, 1, "Pressure Stylus ");
    Number(200, 4, 3, 1);
    Number(200, 9, 1, 1);
    Number(200, 2, 1, 4);
    Wintab_Logcontext c;
    c.Name = "Default";
    c.Options = 0x0004;
    c.PktData = 0x0FFF;
    c.PktMode = 0x0040;
    c.InExtX = 20000;
    Context(c);
  }

  bool Load() override { return loads; }
  std::size_t WTInfo(unsigned category, unsigned index, std::span<std::uint8_t> out) override {
    asked.emplace_back(category, index);
    const auto it = answers.find({category, index});
    if (it == answers.end()) return 0;
    for (std::size_t i = 0; i < it->second.size() && i < out.size(); ++i) out[i] = it->second[i];
    return it->second.size();
  }
  Wintab_Handle WTOpen(Wintab_Message_Window& window, const Wintab_Logcontext& context, bool) override {
    if (!contexts_open) return 0;
    opened = context;
    windows.push_back(&window);
    return Opened("WTOpen");
  }
  int WTPacketsGet(Wintab_Handle, std::span<Wintab_Packet> out) override {
    int n = 0;
    while (static_cast<std::size_t>(n) < out.size() && !packets.empty()) {
      out[static_cast<std::size_t>(n++)] = packets.front();
      packets.pop_front();
    }
    return n;
  }
  bool WTClose(Wintab_Handle h) override { return Closed("WTClose", h); }
  Wintab_Handle WTMgrOpen(Wintab_Message_Window&, unsigned) override {
    return managers_open ? Opened("WTMgrOpen") : 0;
  }
  bool WTMgrClose(Wintab_Handle h) override { return Closed("WTMgrClose", h); }
  void Dispatch_Messages() override {}
  void Wait_For_Packets(double) override {}

 private:
  Wintab_Handle Opened(const char* what) {
    calls.push_back(std::string(what) + " " + std::to_string(next_));
    return next_++;
  }
  bool Closed(const char* what, Wintab_Handle h) {
    calls.push_back(std::string(what) + " " + std::to_string(h));
    return true;
  }
  Wintab_Handle next_ = 1;
};

}  // namespace stylomat::test
