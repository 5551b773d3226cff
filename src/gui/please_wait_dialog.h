#pragma once
// The please-wait window (Splash) shown while a search runs: the logo
// animation (our own PRX_Logo.avi, played by a clip player), the caption
// the search sets, and the version label.
#include <QDialog>
#include <string>

#include "core/please_wait_state.h"
#include "platform/media_clip_player.h"

class QLabel;
class QTimer;

namespace stylomat::gui {

class Please_Wait_Dialog : public QDialog {
 public:
  // The logo's file in the data directory.
  static constexpr const char* Logo_Clip = "PRX_Logo.avi";

  explicit Please_Wait_Dialog(Clock& clock, QWidget* parent = nullptr);
  // Shows, updates or hides the window to match the state.
  void Render(const Please_Wait_State& state);
  // Follows the search's requests with the player and feeds the state the
  // animation's position: the window coming up loads the clip ("Open",
  // "prev", "Play"), each new search rewinds and plays it ("prev",
  // "Play"), the window going stops and closes it ("stop", "close").  A
  // missing clip leaves the picture empty.
  void Follow(Please_Wait_State& state, const std::string& data_dir);
  QString Caption() const;
  Media_Clip_Player& Player() { return player_; }

 private:
  void Show_Frame();

  Media_Clip_Player player_;
  QLabel* picture_;
  QLabel* caption_;
  QTimer* frames_;
  bool loaded_ = false;
  int plays_seen_ = 0;
  int shown_frame_ = -1;
};

}  // namespace stylomat::gui
