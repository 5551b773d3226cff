#pragma once
// The tablet-driver interface the program talks to: the Wintab calls
// (WTInfo by category and index, WTOpen, WTPacketsGet, WTClose, WTMgrOpen,
// WTMgrClose) and the proximity message the driver sends to a window.
//
// The numbers, records and their byte layouts are Wintab's, so the
// program reads a driver's answers exactly as it would read them from the
// Wintab library: a text answer is bytes, a number answered into a text
// buffer is read back by its low byte, an axis is a 16-byte record with a
// 16.16 fixed-point resolution, the default context is the 172-byte ANSI
// LOGCONTEXT.  On Linux the drivers behind it are the kernel's input
// devices (wintab/input_driver.h), live or recorded.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace stylomat {

// Categories and indexes of WTInfo.
namespace wti {
inline constexpr unsigned INTERFACE = 1, STATUS = 2, DEFCONTEXT = 3, DEFSYSCTX = 4, DEVICES = 100, CURSORS = 200;
// WTI_INTERFACE
inline constexpr unsigned IFC_WINTABID = 1, IFC_SPECVERSION = 2, IFC_IMPLVERSION = 3, IFC_NDEVICES = 4,
                          IFC_NCURSORS = 5, IFC_NCONTEXTS = 6, IFC_CTXOPTIONS = 7, IFC_CTXSAVESIZE = 8,
                          IFC_NEXTENSIONS = 9, IFC_NMANAGERS = 10;
// WTI_DEFCONTEXT / WTI_DEFSYSCTX: one index per LOGCONTEXT field, 0 the whole record.
inline constexpr unsigned CTX_SYSEXTX = 31, CTX_SYSEXTY = 32;
// WTI_DEVICES + device
inline constexpr unsigned DVC_NAME = 1, DVC_HARDWARE = 2, DVC_NCSRTYPES = 3, DVC_FIRSTCSR = 4, DVC_PKTRATE = 5,
                          DVC_PKTDATA = 6, DVC_PKTMODE = 7, DVC_CSRDATA = 8, DVC_X = 12, DVC_Y = 13, DVC_Z = 14,
                          DVC_NPRESSURE = 15;
// WTI_CURSORS + cursor
inline constexpr unsigned CSR_NAME = 1, CSR_ACTIVE = 2, CSR_PKTDATA = 3, CSR_BUTTONS = 4, CSR_BUTTONBITS = 5,
                          CSR_NPBUTTON = 9;
}  // namespace wti

// Packet fields (WTPKT bits).
inline constexpr std::uint32_t PK_STATUS = 0x0002, PK_CURSOR = 0x0020, PK_BUTTONS = 0x0040, PK_X = 0x0080,
                               PK_Y = 0x0100, PK_NORMAL_PRESSURE = 0x0400;
// Packet status bit: the cursor is out of the context's proximity.
inline constexpr std::uint32_t TPS_PROXIMITY = 0x0001;
// Context options.
inline constexpr std::uint32_t CXO_MESSAGES = 0x0004;
// Axis units.
inline constexpr std::uint32_t TU_NONE = 0, TU_INCHES = 1, TU_CENTIMETERS = 2;
// Message base of a context or manager, and the proximity message's offset.
inline constexpr unsigned WT_DEFBASE = 0x7FF0, WT_PROXIMITY_OFFSET = 5;

// An axis: minimum, maximum, units, resolution (counts per unit, 16.16).
struct Wintab_Axis {
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  std::uint32_t Units = TU_NONE;
  std::uint32_t Resolution = 0;  // 16.16 fixed point
};
inline constexpr std::size_t Axis_Record_Size = 16;

// LOGCONTEXT, ANSI form, with the name kept as text.
struct Wintab_Logcontext {
  std::string Name;  // at most 39 characters go into the record
  std::uint32_t Options = 0, Status = 0, Locks = 0, MsgBase = WT_DEFBASE, Device = 0, PktRate = 0;
  std::uint32_t PktData = 0, PktMode = 0, MoveMask = 0, BtnDnMask = 0, BtnUpMask = 0;
  std::int32_t InOrgX = 0, InOrgY = 0, InOrgZ = 0, InExtX = 0, InExtY = 0, InExtZ = 0;
  std::int32_t OutOrgX = 0, OutOrgY = 0, OutOrgZ = 0, OutExtX = 0, OutExtY = 0, OutExtZ = 0;
  std::uint32_t SensX = 0x10000, SensY = 0x10000, SensZ = 0x10000;
  std::int32_t SysMode = 0;
  std::int32_t SysOrgX = 0, SysOrgY = 0, SysExtX = 0, SysExtY = 0;
  std::uint32_t SysSensX = 0x10000, SysSensY = 0x10000;
};
inline constexpr std::size_t Logcontext_Record_Size = 172;

// The packet of a context whose packet data is PK_STATUS | PK_CURSOR |
// PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE: six 32-bit fields, in
// this order, 24 bytes.
struct Wintab_Packet {
  std::uint32_t Status = 0;
  std::uint32_t Cursor = 0;
  std::uint32_t Buttons = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint32_t Normal_Pressure = 0;
};

// The record layouts, little-endian as Wintab lays them out.  Encoding
// writes at most out.size() bytes and returns the record's full size;
// decoding reads only what `in` holds (missing bytes count as zero).
std::size_t Encode_Axis(const Wintab_Axis& axis, std::span<std::uint8_t> out);
Wintab_Axis Decode_Axis(std::span<const std::uint8_t> in);
std::size_t Encode_Logcontext(const Wintab_Logcontext& context, std::span<std::uint8_t> out);
Wintab_Logcontext Decode_Logcontext(std::span<const std::uint8_t> in);
// A number (UINT, WORD, BOOL, BYTE answers) as `width` little-endian bytes.
std::size_t Encode_Number(std::uint32_t value, std::size_t width, std::span<std::uint8_t> out);
// A text answer with its terminating NUL.
std::size_t Encode_Text(const std::string& text, std::span<std::uint8_t> out);

// The hidden window the driver sends its messages to.
class Wintab_Message_Window {
 public:
  virtual ~Wintab_Message_Window() = default;
  virtual std::intptr_t Send_Message(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) = 0;
};

using Wintab_Handle = std::uint32_t;  // 0: no handle

class Wintab_Api {
 public:
  virtual ~Wintab_Api() = default;

  // Whether the driver can be called at all; the moment the program looks
  // for the driver (start-up, Search For Wintab).  A driver that finds its
  // devices when it is loaded looks for them again here, unless a context
  // or manager is open.
  virtual bool Load() = 0;

  // WTInfo: writes at most out.size() bytes of the answer and returns the
  // answer's size in bytes, 0 when the category or index is not supported.
  // An empty `out` asks only for the size.
  virtual std::size_t WTInfo(unsigned category, unsigned index, std::span<std::uint8_t> out) = 0;
  // Opens a context whose packets and messages go to `window`; 0 when it
  // cannot be opened.
  virtual Wintab_Handle WTOpen(Wintab_Message_Window& window, const Wintab_Logcontext& context, bool enable) = 0;
  // Moves up to packets.size() of the context's oldest packets out of its
  // queue; returns how many.  Never blocks.
  virtual int WTPacketsGet(Wintab_Handle context, std::span<Wintab_Packet> packets) = 0;
  virtual bool WTClose(Wintab_Handle context) = 0;
  virtual Wintab_Handle WTMgrOpen(Wintab_Message_Window& window, unsigned message_base) = 0;
  virtual bool WTMgrClose(Wintab_Handle manager) = 0;

  // Delivers the messages the driver has posted (the proximity message)
  // to their windows: the "window events" step of a polling loop.
  virtual void Dispatch_Messages() = 0;
  // Waits at most `seconds` for input that may make a packet, returning at
  // once when one is queued already.  Sleeps on the devices (or the clock
  // of a recording); never spins.
  virtual void Wait_For_Packets(double seconds) = 0;

  // What kept a tablet from being used, in words for the user (no
  // permission on the device, a device that went away); empty when
  // nothing did.
  virtual std::string Problem() const { return {}; }
};

}  // namespace stylomat
