#pragma once
// The one place where the main window's fact-driven parts are derived:
// the port icons from the ports found available, the CommPort label from
// the port searched, the model, size and firmware labels from the tablet
// identity, and the proximity lamp from the current report.  Which labels
// are shown, and the menu entries, stay with the routines that decide them
// (the search, its reset and its result).
namespace stylomat {

struct Session;

// Derives those parts from the session's facts; touches the state only when
// something changed.
void Show_Facts(Session& s);

}  // namespace stylomat
