#include "platform/clip_player.h"

#include <filesystem>
#include <system_error>

namespace stylomat {

void Recording_Clip_Player::Record(std::string command) {
  ++commands_;
  if (history_.size() >= History_Limit) history_.pop_front();
  history_.push_back(std::move(command));
}

void Recording_Clip_Player::Set_File(const std::string& path) {
  file_ = path;
  Record("file " + path);
}

bool Recording_Clip_Player::Open() {
  open_ = false;
  position_ = 0;
  std::error_code error;
  const bool exists = !file_.empty() && std::filesystem::is_regular_file(file_, error) && !error;
  Record(exists ? "Open" : "Open failed");
  open_ = exists;
  return exists;
}

void Recording_Clip_Player::Prev() {
  Record("prev");
  if (open_ && position_ > 0) --position_;
}

bool Recording_Clip_Player::Play(int from, int to) {
  const bool in_clip = from >= 0 && to >= from && (frames_ == 0 || to < frames_);
  const bool ok = open_ && in_clip;
  Record("Play " + std::to_string(from) + " " + std::to_string(to) + (ok ? "" : " failed"));
  if (ok) position_ = to;
  return ok;
}

void Recording_Clip_Player::Stop() { Record("stop"); }

void Recording_Clip_Player::Close() {
  Record("close");
  open_ = false;
  position_ = 0;
}

}  // namespace stylomat
