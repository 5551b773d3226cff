#pragma once
// Small steps shared by the UIOF, KV, Plug-and-Play and Type-5 probes.
#include <string>
#include <string_view>

#include "core/session.h"

namespace stylomat {

// Waits the given seconds on the session clock without running window
// events (the probes' clock-bounded reads).
void Wait_Seconds(Session& s, double seconds);

// In Debug_Mode: CR + title + CR, the header a probe writes before it talks.
void Log_Probe_Header(Session& s, std::string_view title);

// In Debug_Mode: "From Tablet: " + reply.
void Log_From_Tablet(Session& s, std::string_view reply);

// Sets Settings and CommPort = Port_Number on a closed port, optionally
// one Wait_Tick, opens it and records the framing in the identity.
// Throws Port_Error.
void Open_Probe_Port(Session& s, const std::string& settings, bool tick_before_open);

// The search result speaks of Port_Number (the CommPort label).
void Record_Port_Searched(Session& s);
// Size_Text from the largest coordinates.
void Record_Size(Session& s, long counts_per_inch);
void Record_Size_Text(Session& s, const std::string& text);
void Record_Firmware(Session& s, const std::string& text);

// Product_Reply = text, then Match_Model.
void Name_Tablet(Session& s, const std::string& product_reply);

// The reason a search ends with a port error when the tablet's answer to
// its size question is not a size (the answer shown with \xNN escapes).
std::string Size_Not_Understood(const Session& s, std::string_view answer);

bool Contains(std::string_view text, std::string_view part);
// The character code of byte n (counted from 1) of a reply; the caller has
// checked the length.
long Byte_At(std::string_view reply, std::size_t n);

}  // namespace stylomat
