#include "platform/clock.h"

#include <thread>

namespace stylomat {

Steady_Clock::Steady_Clock() : origin_(std::chrono::steady_clock::now()) {}

double Steady_Clock::Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

void Steady_Clock::Sleep_Until(double t) {
  const auto target = origin_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                    std::chrono::duration<double>(t));
  std::this_thread::sleep_until(target);
}

}  // namespace stylomat
