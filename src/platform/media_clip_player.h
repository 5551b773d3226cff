#pragma once
// The clip player of a picture area that really shows the clip: the
// cursor pictures of the grid test and the logo animation of the
// please-wait window.
//
// Playing follows the session clock: "Play" from a first to a last frame
// notes when it started, and the position is the frame the clip's own
// frame rate has reached since then (never past the last frame asked for).
// Nothing runs in the background and nothing polls; a view asks for the
// current frame's picture when it repaints, and a wait on the virtual
// clock plays the clip exactly and at once.
//
// Pictures are decoded when first asked for and kept in a small cache of
// Cache_Frames frames, so showing a button's frame again decodes nothing
// and a long clip never fills memory.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/clip_decoder.h"
#include "platform/clip_player.h"
#include "platform/clock.h"

namespace stylomat {

class Media_Clip_Player final : public Clip_Player {
 public:
  static constexpr int Cache_Frames = 8;

  explicit Media_Clip_Player(Clock& clock);
  ~Media_Clip_Player() override;

  void Set_File(const std::string& path) override { file_ = path; }
  // Opens the file (closing the clip open before); false when it is
  // missing or not a clip this build can show: Error() says why.
  bool Open() override;
  // One frame back (playing stops there); nothing at frame 0.
  void Prev() override;
  // Plays from `from` to `to` at the clip's frame rate from now on, and
  // stays at `to`.  False without a clip or for frames not in it.
  bool Play(int from, int to) override;
  // Playing stops at the frame reached.
  void Stop() override;
  void Close() override;
  bool Is_Open() const override { return decoder_ != nullptr; }
  int Position() const override;
  int Frame_Count() const override { return decoder_ ? decoder_->Frames() : 0; }

  const std::string& File() const { return file_; }
  // A Play has not reached its last frame yet.
  bool Is_Playing() const;
  // Seconds a frame stands while playing (0 without a clip).
  double Frame_Seconds() const { return decoder_ ? decoder_->Frame_Seconds() : 0.0; }
  // Why the last Open failed (empty after a successful one).
  const std::string& Error() const { return error_; }

  // The picture of the frame shown now, or of any frame; nullptr without a
  // clip or when the frame cannot be decoded.  Valid until the next call.
  const Clip_Image* Current_Image() { return Image(Position()); }
  const Clip_Image* Image(int frame);
  // Frames decoded since the clip was opened (the cache's misses).
  long Decoded_Frames() const { return decoded_; }

 private:
  struct Cached {
    int frame = -1;
    std::uint64_t used = 0;
    Clip_Image image;
  };

  Clock& clock_;
  std::string file_;
  std::string error_;
  std::unique_ptr<Clip_Decoder> decoder_;
  // Still: the frame shown.  Playing: from play_from_ at play_start_ on.
  bool playing_ = false;
  int still_ = 0;
  int play_from_ = 0;
  int play_to_ = 0;
  double play_start_ = 0.0;
  std::array<Cached, Cache_Frames> cache_;
  std::uint64_t uses_ = 0;
  long decoded_ = 0;
};

}  // namespace stylomat
