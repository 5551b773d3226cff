// Fuzzes the settings image of the Mirolex and Dovrane tablets: reading a
// reply never goes past its end, and the translations take any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "superset/native_image.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stylomat;
  // The reply is read in place, so a read past its end is caught.
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const Native_Image image = Parse_Image_Text(reply);
  const SuperSet_Bytes record = Image_To_SuperSet(reply);
  Check(record == Image_To_SuperSet(image));

  const std::string text = Image_Text(image);
  Check(text.size() == Image_Text_Length);
  Check(Parse_Image_Text(text) == image);

  // Any four bytes are a record the tablet can be sent.
  if (size >= 4) {
    const SuperSet_Bytes raw{data[0], data[1], data[2], data[3]};
    const Native_Image out = SuperSet_To_Image(raw);
    Check(out[3] == 0x61);
    // The framing survives the trip whatever else the record holds.
    const SuperSet_Bytes back = Image_To_SuperSet(Image_Text(out));
    Check((back[0] & 0xC7) == (raw[0] & 0xC7));
  }
  return 0;
}
