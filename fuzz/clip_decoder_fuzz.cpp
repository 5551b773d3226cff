// Feeds arbitrary bytes to the clip decoder as a clip file, and decodes
// every frame of whatever opens.  Checks that an opened clip keeps to its
// limits and that every picture it gives has the size it declared.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/clip_decoder.h"

namespace {

using namespace stylomat;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/clip_decoder_fuzz_" + std::to_string(::getpid()) + ".avi";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
  std::string error;
  auto clip = Clip_Decoder::Open(path, error);
  if (!clip) {
    Check(!error.empty());
    return 0;
  }
  Check(clip->Frames() >= 1 && clip->Frames() <= Clip_Decoder::Max_Frames);
  Check(clip->Width() >= 1 && clip->Width() <= Clip_Decoder::Max_Side);
  Check(clip->Height() >= 1 && clip->Height() <= Clip_Decoder::Max_Side);
  for (int frame = 0; frame < clip->Frames(); ++frame) {
    Clip_Image image;
    if (!clip->Decode(frame, image)) continue;
    Check(image.width == clip->Width() && image.height == clip->Height());
    Check(image.rgb.size() == static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height));
  }
  return 0;
}
