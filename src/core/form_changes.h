#pragma once
// What every configuration window's form model shares with its views: the
// answer to a box or switch being set, and one way to learn that what the
// window shows has changed.
#include <cstdint>
#include <functional>

namespace stylomat {

// The answer to setting a box or a switch, by the user or by the program.
enum class Set_Result {
  Refused,    // not a value this box or switch takes: nothing happened
  Unchanged,  // the value it already had: no handler ran
  Changed,    // the new value is shown and its handler ran
};

class Form_Changes {
 public:
  // Moves on every change of what the window shows.
  std::uint64_t Revision() const { return revision_; }
  // Called after each such change, also in the middle of a cascade of
  // handlers; a view re-renders from the model.
  std::function<void()> On_Change;

 protected:
  void Changed() {
    ++revision_;
    if (On_Change) On_Change();
  }

 private:
  std::uint64_t revision_ = 0;
};

}  // namespace stylomat
