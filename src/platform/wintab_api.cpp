#include "platform/wintab_api.h"

#include <algorithm>
#include <vector>

namespace stylomat {

namespace {

// Writes little-endian fields into a record of known size, keeping every
// write inside `out`.
class Record_Writer {
 public:
  explicit Record_Writer(std::span<std::uint8_t> out) : out_(out) {}
  void Put(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) Put_Byte(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Put_Signed(std::int32_t value) { Put(static_cast<std::uint32_t>(value)); }
  void Put_Byte(std::uint8_t b) {
    if (at_ < out_.size()) out_[at_] = b;
    ++at_;
  }
  std::size_t Size() const { return at_; }

 private:
  std::span<std::uint8_t> out_;
  std::size_t at_ = 0;
};

class Record_Reader {
 public:
  explicit Record_Reader(std::span<const std::uint8_t> in) : in_(in) {}
  std::uint32_t Get() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Get_Byte()) << (8 * i);
    return v;
  }
  std::int32_t Get_Signed() { return static_cast<std::int32_t>(Get()); }
  std::uint8_t Get_Byte() { return at_ < in_.size() ? in_[at_++] : (++at_, 0); }

 private:
  std::span<const std::uint8_t> in_;
  std::size_t at_ = 0;
};

constexpr std::size_t Name_Size = 40;

}  // namespace

std::size_t Encode_Axis(const Wintab_Axis& axis, std::span<std::uint8_t> out) {
  Record_Writer w(out);
  w.Put_Signed(axis.Min);
  w.Put_Signed(axis.Max);
  w.Put(axis.Units);
  w.Put(axis.Resolution);
  return w.Size();
}

Wintab_Axis Decode_Axis(std::span<const std::uint8_t> in) {
  Record_Reader r(in);
  Wintab_Axis axis;
  axis.Min = r.Get_Signed();
  axis.Max = r.Get_Signed();
  axis.Units = r.Get();
  axis.Resolution = r.Get();
  return axis;
}

std::size_t Encode_Logcontext(const Wintab_Logcontext& c, std::span<std::uint8_t> out) {
  Record_Writer w(out);
  for (std::size_t i = 0; i < Name_Size; ++i) {
    // The name is NUL-terminated inside its 40 characters.
    w.Put_Byte(i + 1 < Name_Size && i < c.Name.size() ? static_cast<std::uint8_t>(c.Name[i]) : 0);
  }
  for (std::uint32_t v : {c.Options, c.Status, c.Locks, c.MsgBase, c.Device, c.PktRate, c.PktData, c.PktMode,
                          c.MoveMask, c.BtnDnMask, c.BtnUpMask}) {
    w.Put(v);
  }
  for (std::int32_t v : {c.InOrgX, c.InOrgY, c.InOrgZ, c.InExtX, c.InExtY, c.InExtZ, c.OutOrgX, c.OutOrgY,
                         c.OutOrgZ, c.OutExtX, c.OutExtY, c.OutExtZ}) {
    w.Put_Signed(v);
  }
  for (std::uint32_t v : {c.SensX, c.SensY, c.SensZ}) w.Put(v);
  w.Put_Signed(c.SysMode);
  for (std::int32_t v : {c.SysOrgX, c.SysOrgY, c.SysExtX, c.SysExtY}) w.Put_Signed(v);
  w.Put(c.SysSensX);
  w.Put(c.SysSensY);
  return w.Size();
}

Wintab_Logcontext Decode_Logcontext(std::span<const std::uint8_t> in) {
  Record_Reader r(in);
  Wintab_Logcontext c;
  std::string name;
  bool ended = false;
  for (std::size_t i = 0; i < Name_Size; ++i) {
    const std::uint8_t b = r.Get_Byte();
    if (b == 0) ended = true;
    if (!ended) name += static_cast<char>(b);
  }
  c.Name = name;
  for (std::uint32_t* v : {&c.Options, &c.Status, &c.Locks, &c.MsgBase, &c.Device, &c.PktRate, &c.PktData,
                           &c.PktMode, &c.MoveMask, &c.BtnDnMask, &c.BtnUpMask}) {
    *v = r.Get();
  }
  for (std::int32_t* v : {&c.InOrgX, &c.InOrgY, &c.InOrgZ, &c.InExtX, &c.InExtY, &c.InExtZ, &c.OutOrgX,
                          &c.OutOrgY, &c.OutOrgZ, &c.OutExtX, &c.OutExtY, &c.OutExtZ}) {
    *v = r.Get_Signed();
  }
  for (std::uint32_t* v : {&c.SensX, &c.SensY, &c.SensZ}) *v = r.Get();
  c.SysMode = r.Get_Signed();
  for (std::int32_t* v : {&c.SysOrgX, &c.SysOrgY, &c.SysExtX, &c.SysExtY}) *v = r.Get_Signed();
  c.SysSensX = r.Get();
  c.SysSensY = r.Get();
  return c;
}

std::size_t Encode_Number(std::uint32_t value, std::size_t width, std::span<std::uint8_t> out) {
  width = std::min<std::size_t>(width, 4);
  for (std::size_t i = 0; i < width && i < out.size(); ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return width;
}

std::size_t Encode_Text(const std::string& text, std::span<std::uint8_t> out) {
  const std::size_t size = text.size() + 1;
  for (std::size_t i = 0; i < size && i < out.size(); ++i) {
    out[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
  }
  return size;
}

}  // namespace stylomat
