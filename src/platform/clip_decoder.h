#pragma once
// Reads the frames of a video clip file (an AVI of the program's cursor
// pictures or its logo) as RGB pictures.
//
// Clip files come from the installation directory but are read as
// untrusted input: only regular files of at most Max_File_Bytes, only the
// AVI container, only a few picture codecs (Allowed_Codecs), at most
// Max_Frames frames of at most Max_Side pixels a side.  Anything else fails
// to open with a reason in words; no malformed file can make the decoder
// read, keep or allocate more than those limits allow.
//
// The decoding is FFmpeg's (libavformat, libavcodec, libswscale).  A build
// without FFmpeg has the same class, whose Open always fails and says why;
// the program then shows no pictures and goes on.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace stylomat {

// One picture: Height() rows of Width() pixels, top row first, three bytes
// a pixel (red, green, blue), each row Stride() bytes long (a multiple of
// four), as the grid drawing is laid out.
struct Clip_Image {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<std::uint8_t> rgb;
  // The pixel at column x of row y (row 0 at the top).
  struct Pixel {
    std::uint8_t r, g, b;
    bool operator==(const Pixel&) const = default;
  };
  Pixel At(int x, int y) const {
    const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

class Clip_Decoder {
 public:
  static constexpr std::uintmax_t Max_File_Bytes = 32u << 20;
  static constexpr int Max_Frames = 4096;
  static constexpr int Max_Side = 1024;
  // Picture codecs a clip may use (FFmpeg's names).
  static constexpr const char* Allowed_Codecs = "png, rawvideo, msrle, msvideo1, mjpeg, ffv1";

  ~Clip_Decoder();
  Clip_Decoder(const Clip_Decoder&) = delete;
  Clip_Decoder& operator=(const Clip_Decoder&) = delete;

  // This build can decode clips (it was built with FFmpeg).
  static bool Available();
  // Opens the clip and reads its frame index.  nullptr when it cannot be
  // shown; error then says why.
  static std::unique_ptr<Clip_Decoder> Open(const std::string& path, std::string& error);

  int Frames() const;
  int Width() const;
  int Height() const;
  // Seconds from one frame to the next, from the clip's own frame rate
  // (between 1/120 s and 2 s; 1/15 s when the clip names none).
  double Frame_Seconds() const;
  // Decodes frame n (0 to Frames() - 1) into out.  False when the frame's
  // data cannot be decoded.
  bool Decode(int frame, Clip_Image& out);

 private:
  struct Impl;
  explicit Clip_Decoder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace stylomat
