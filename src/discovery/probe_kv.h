#pragma once
// The KV probe: tablets of the KV command family at "9600,o,8,1".  A NUL
// and "x" must bring back ".#"; the tablet is then asked for its version
// (ESC "z?"), its cursor ("zt") and one report at its largest coordinates
// ("a"), whose counts are 1/500 inch.
//
// Two special cases:
// - A tablet with a 16-button puck is switched to UIOF reporting ("zu") and
//   left to the UIOF probe: this probe then ends as not found with
//   UIOF_Format set and Probe_Cursor 5.
// - A tablet that answered ".#" but fails a later query (a version answer
//   too short to hold its version, a size report shorter than five bytes or
//   none at all) is an older KV tablet: the user is asked to power-cycle it
//   ("Obsolete Zeltavision Tablet", OK/Cancel).  After OK the probe sends
//   "a" once more (KV_Alt_Format) and, whatever query had failed, goes on
//   at the size loop with that answer: the tablet is named first if the
//   failure came before that, the size is computed from this answer, a
//   portrait size is turned as usual, and the probe ends as found.  The
//   remaining queries are not repeated.  If this answer fails too, the
//   probe ends as not found without asking again.  After Cancel it ends as
//   not found.
// A port error anywhere ends the probe with Search_Status -2 and no
// question: a power cycle cannot mend a port that fails.
#include <string>
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr const char* KV_Product = "Zeltavision, KV Compatible";
inline constexpr const char* Obsolete_KV_Title = "Obsolete Zeltavision Tablet";
// The question's line breaks are CR LF, as in every message box.
inline constexpr const char* Obsolete_KV_Text =
    "A Zeltavision KV Compatible tablet was found!\r\n\r\nPower the Tablet OFF and back ON.\r\nPress OK when "
    "finished.";

// Dialog_Answer values of the power-cycle question.
inline constexpr int Dialog_OK = 1;
inline constexpr int Dialog_Cancel = 2;

// How often a tablet that reports a portrait size is told to turn its axes
// ("b") before the size is taken as it stands.
inline constexpr int KV_Max_Portrait_Turns = 3;

// Leaves Search_Status 0 with KV_Format (or, after the power-cycle
// question, KV_Alt_Format) set and the port open at "9600,o,8,1"; -1 when
// no KV tablet was claimed (the port is closed); -2 when the port could not
// be opened or failed on the way.
void Probe_KV(Session& s);

// The grid test's identification exchange for a tablet in UIOF format.  It
// starts with a break and a NUL that bring a KV tablet back to its power-on
// state, runs NUL, "x", "zt", ESC "z?" and "zu" at "9600,o,8,1", resets the
// tablet at "9600,E,7,2" (ESC "Z", ESC "z1"), runs the same exchanges again
// and leaves the port open at "9600,E,7,2" with the input flushed.
// Every command is logged in Debug_Mode as in the probe, except ESC "z1",
// which has no log line; the cursor answer is read whole (InputLen 0), as
// in the probe.
// The answers update KV_Format (".#"), Probe_Cursor, UIOF_Format (a
// 16-button puck clears KV_Format again) and Firmware_Text; nothing jumps
// out of the sequence, so a tablet that answers nothing still ends at the
// UIOF framing.  Search_Status is not touched.  Returns false when the port
// failed (it is then left as it stands).
bool Reprobe_KV(Session& s);

// The version shown for an answer to ESC "z?": the text after the eight
// characters that start at "Ver" (without "Ver", the last length - 7
// characters).  False when the answer is too short to hold that.
bool KV_Version_From(std::string_view answer, std::string& version);

// Width and height of a 5-byte KV report; false when shorter than a report.
struct KV_Size {
  long width = 0;
  long height = 0;
};
bool KV_Size_From(std::string_view answer, KV_Size& size);

}  // namespace stylomat
