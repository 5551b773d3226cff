#include "discovery/size_text.h"

#include <array>
#include <charconv>

namespace stylomat {

std::string Inches_Text(long counts, long counts_per_inch) {
  if (counts_per_inch <= 0) return "N/A";
  if (counts % counts_per_inch == 0) return std::to_string(counts / counts_per_inch);
  // The shortest decimal that reads back as the quotient: 12500 / 1000
  // gives "12.5", 12345 / 1000 gives "12.345".
  const double inches = static_cast<double>(counts) / static_cast<double>(counts_per_inch);
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), inches, std::chars_format::fixed);
  if (result.ec != std::errc{}) return "N/A";
  return std::string(buffer.data(), result.ptr);
}

std::string Size_Text(long height_counts, long width_counts, long counts_per_inch) {
  if (counts_per_inch <= 0) return "N/A";
  return Inches_Text(height_counts, counts_per_inch) + " x " + Inches_Text(width_counts, counts_per_inch);
}

}  // namespace stylomat
