#pragma once
// The video clip player of a picture area: the cursor pictures of the grid
// test are short clips, one frame per button, played one frame at a time.
//
// The commands are the player's own: set the clip file, "Open", "prev"
// (one frame back), "Play" from a first to a last frame, "stop" and
// "close".  Frames are counted from 0.  The player holds at most one open
// clip; opening another file closes the first.
//
// A front end gives the grid test the player bound to its picture area (a
// decoding player in the window); the command line and the tests use
// Recording_Clip_Player, which decodes nothing.
#include <cstddef>
#include <deque>
#include <string>

namespace stylomat {

class Clip_Player {
 public:
  virtual ~Clip_Player() = default;
  // The clip file the next "Open" opens.
  virtual void Set_File(const std::string& path) = 0;
  // "Open": false when the file is missing or is not a clip the player can
  // show (nothing is open then).  The position is the first frame.
  virtual bool Open() = 0;
  // "prev": one frame back; nothing at the first frame or without a clip.
  virtual void Prev() = 0;
  // "Play": shows the frames from `from` to `to` and stops at `to`.  False
  // when no clip is open or the frames are not in the clip.
  virtual bool Play(int from, int to) = 0;
  // "stop": playing stops at the frame shown.
  virtual void Stop() = 0;
  // "close": the clip is closed; the position is 0.
  virtual void Close() = 0;
  virtual bool Is_Open() const = 0;
  // The frame shown.
  virtual int Position() const = 0;
  // Frames in the open clip; 0 without a clip or when the player cannot
  // tell.
  virtual int Frame_Count() const = 0;
};

// A player that keeps the commands it was given and plays nothing.  "Open"
// succeeds when the file exists as a regular file.  It knows as many
// frames as it is told (0: any frame number from 0 is accepted).  Only the
// last History_Limit commands are kept, so a long test cannot fill memory.
class Recording_Clip_Player final : public Clip_Player {
 public:
  static constexpr std::size_t History_Limit = 256;

  explicit Recording_Clip_Player(int frames = 0) : frames_(frames < 0 ? 0 : frames) {}

  void Set_File(const std::string& path) override;
  bool Open() override;
  void Prev() override;
  bool Play(int from, int to) override;
  void Stop() override;
  void Close() override;
  bool Is_Open() const override { return open_; }
  int Position() const override { return position_; }
  int Frame_Count() const override { return open_ ? frames_ : 0; }

  const std::string& File() const { return file_; }
  // "file <path>", "Open", "Open failed", "prev", "Play 16 16",
  // "Play 3 3 failed", "stop", "close", oldest first.
  const std::deque<std::string>& History() const { return history_; }
  // Commands given in all, including those no longer in History().
  std::size_t Commands() const { return commands_; }
  void Clear_History() { history_.clear(); }

 private:
  void Record(std::string command);

  int frames_;
  std::string file_;
  bool open_ = false;
  int position_ = 0;
  std::deque<std::string> history_;
  std::size_t commands_ = 0;
};

}  // namespace stylomat
