#include "sim/korv_command_state.h"

#include "core/traffic_log.h"
#include "superset/factory_tables.h"

namespace stylomat {

namespace {

constexpr unsigned char Ctrl_A = 0x01;
constexpr int Record_Bytes = 4;

bool Is_Digit(unsigned char c) { return c >= '0' && c <= '9'; }

// "07" -> 7; anything but exactly two decimal digits -> -1.
int Two_Digit_Number(const std::string& text) {
  if (text.size() != 2) return -1;
  const auto a = static_cast<unsigned char>(text[0]);
  const auto b = static_cast<unsigned char>(text[1]);
  if (!Is_Digit(a) || !Is_Digit(b)) return -1;
  return (a - '0') * 10 + (b - '0');
}

std::string Two_Digits(int n) { return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)}; }

}  // namespace

SuperSet_Record KORV_Command_State::Factory_SuperSet(int n) {
  if (n < 1 || n > 99) return {};
  return Factory_Record(Config_Window::KORV_form, n);
}

KORV_Command_State::KORV_Command_State(KORV_Command_Options options) : options_(options) {
  for (int n = 1; n <= 99; ++n) stored_[static_cast<std::size_t>(n)] = Factory_SuperSet(n);
  Activate(1);
  work_area_ = stored_[0];
}

const SuperSet_Record& KORV_Command_State::Stored(int n) const {
  if (n < 0 || n > 99) n = 0;
  return stored_[static_cast<std::size_t>(n)];
}

void KORV_Command_State::Set_Stored(int n, const SuperSet_Record& record) {
  if (n < 0 || n > 99) return;
  stored_[static_cast<std::size_t>(n)] = record;
}

bool KORV_Command_State::Is_Writable(int n) const {
  if (n == 0) return true;
  if (n < 90 || n > 99) return false;
  return !(n == 99 && options_.reserve_99);
}

void KORV_Command_State::Activate(int n) {
  if (n < 0 || n > 99) return;
  power_up_ = n;
  stored_[0] = stored_[static_cast<std::size_t>(n)];
}

void KORV_Command_State::Reset_Pending() {
  expect_ = Expect::Command;
  raw_bytes_left_ = 0;
  raw_index_ = 0;
  taking_activation_ = false;
  activation_digits_.clear();
}

bool KORV_Command_State::On_Command_Byte(Type5_Tablet& tablet, Sim_Link& link, unsigned char byte) {
  // The record bytes after "za" are raw: any value, CR and ESC included.
  if (raw_bytes_left_ > 0) {
    work_area_[static_cast<std::size_t>(raw_index_++)] = byte;
    if (--raw_bytes_left_ == 0) tablet.Send_Answer(link, "");
    return true;
  }
  if (stalled_) return byte != Ctrl_A && byte != static_cast<unsigned char>(ESC);
  if (taking_activation_) {
    if (!Is_Digit(byte)) {
      // The number ended early: forget it and let the tablet see the byte.
      taking_activation_ = false;
      activation_digits_.clear();
      return false;
    }
    activation_digits_ += static_cast<char>(byte);
    if (activation_digits_.size() == 2) {
      Activate(Two_Digit_Number(activation_digits_));
      taking_activation_ = false;
      activation_digits_.clear();
    }
    return true;
  }
  // Ctrl-A starts a new command: a number still awaited is forgotten.
  if (byte == Ctrl_A) Reset_Pending();
  return false;
}

bool KORV_Command_State::On_Command_Line(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) {
  switch (expect_) {
    case Expect::Read_Number:
      expect_ = Expect::Command;
      Answer_Read(tablet, link, line);
      return true;
    case Expect::Store_Number:
      expect_ = Expect::Command;
      Answer_Store(tablet, link, line);
      return true;
    case Expect::Command: break;
  }
  if (line == "RR") {
    expect_ = Expect::Read_Number;
    tablet.Send_Answer(link, "");
    return true;
  }
  if (line == "za") {
    raw_bytes_left_ = Record_Bytes;
    raw_index_ = 0;
    return true;
  }
  if (line == "LS") {
    expect_ = Expect::Store_Number;
    return true;
  }
  if (line == "ES") {
    taking_activation_ = true;
    activation_digits_.clear();
    return true;
  }
  return false;
}

void KORV_Command_State::Answer_Read(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) {
  const int n = Two_Digit_Number(line);
  if (n < 0) {
    tablet.Send_Answer(link, "?");
    return;
  }
  const SuperSet_Record& r = stored_[static_cast<std::size_t>(n)];
  std::string answer = "S" + Two_Digits(n) + CR + LF;
  for (std::uint8_t b : r) answer += static_cast<char>(b);
  tablet.Send_Answer(link, answer);
  ++reads_answered_;
  if (options_.stall_after_reads >= 0 && reads_answered_ >= options_.stall_after_reads) stalled_ = true;
}

void KORV_Command_State::Answer_Store(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) {
  const int n = Two_Digit_Number(line);
  if (n < 0 || !Is_Writable(n)) {
    tablet.Send_Answer(link, "?");
    return;
  }
  stored_[static_cast<std::size_t>(n)] = work_area_;
  ++stores_;
  tablet.Send_Answer(link, "OK");
}

void KORV_Command_State::On_Leave_Command(Type5_Tablet&, Sim_Link&) {
  // Record bytes and numbers still awaited are forgotten; a record byte
  // that happens to be ESC never gets here (it is taken above).
  Reset_Pending();
}

std::unique_ptr<Type5_Command_Handler> Make_KORV_Command_State(KORV_Command_Options options) {
  return std::make_unique<KORV_Command_State>(options);
}

}  // namespace stylomat
