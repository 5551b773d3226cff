#include "platform/media_clip_player.h"

#include <cmath>

namespace stylomat {

namespace {
// A position computed a hair before a frame's time still counts as that
// frame (sums of frame times are not exact in binary).
constexpr double Rounding = 1e-9;
}  // namespace

Media_Clip_Player::Media_Clip_Player(Clock& clock) : clock_(clock) {}
Media_Clip_Player::~Media_Clip_Player() = default;

bool Media_Clip_Player::Open() {
  Close();
  error_.clear();
  decoder_ = Clip_Decoder::Open(file_, error_);
  return decoder_ != nullptr;
}

int Media_Clip_Player::Position() const {
  if (!decoder_) return 0;
  if (!playing_) return still_;
  const double elapsed = clock_.Now() - play_start_;
  const double seconds = decoder_->Frame_Seconds();
  const double frames = elapsed <= 0 ? 0 : std::floor(elapsed / seconds + Rounding);
  if (frames >= static_cast<double>(play_to_ - play_from_)) return play_to_;
  return play_from_ + static_cast<int>(frames);
}

bool Media_Clip_Player::Is_Playing() const { return decoder_ && playing_ && Position() < play_to_; }

void Media_Clip_Player::Prev() {
  if (!decoder_) return;
  const int at = Position();
  playing_ = false;
  still_ = at > 0 ? at - 1 : 0;
}

bool Media_Clip_Player::Play(int from, int to) {
  if (!decoder_ || from < 0 || to < from || to >= decoder_->Frames()) return false;
  play_from_ = from;
  play_to_ = to;
  play_start_ = clock_.Now();
  playing_ = from < to;
  still_ = from == to ? to : from;
  return true;
}

void Media_Clip_Player::Stop() {
  still_ = Position();
  playing_ = false;
}

void Media_Clip_Player::Close() {
  decoder_.reset();
  playing_ = false;
  still_ = 0;
  for (Cached& c : cache_) {
    c.frame = -1;
    c.image = Clip_Image{};
  }
  decoded_ = 0;
}

const Clip_Image* Media_Clip_Player::Image(int frame) {
  if (!decoder_ || frame < 0 || frame >= decoder_->Frames()) return nullptr;
  Cached* oldest = &cache_[0];
  for (Cached& c : cache_) {
    if (c.frame == frame) {
      c.used = ++uses_;
      return &c.image;
    }
    if (c.used < oldest->used) oldest = &c;
  }
  oldest->frame = -1;
  ++decoded_;
  if (!decoder_->Decode(frame, oldest->image)) return nullptr;
  oldest->frame = frame;
  oldest->used = ++uses_;
  return &oldest->image;
}

}  // namespace stylomat
