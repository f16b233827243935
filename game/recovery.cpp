#include "game/recovery.h"

#include <algorithm>

#include "game/puzzlerecord.h"
#include "platform/replacingfile.h"

namespace {

// The file as the comparison sees it: every second changes the clock, which
// alone is no reason to write.
std::vector<std::uint8_t> WithoutClock(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
  constexpr std::size_t at = TPuzzleRecord::ElapsedSecondsAt;
  if (copy.size() >= at + 4) std::fill_n(copy.begin() + std::ptrdiff_t(at), 4, std::uint8_t(0));
  return copy;
}

}  // namespace

bool TRecovery::Offer(const QString& path, std::span<const std::uint8_t> bytes) {
  if (!Due()) return false;
  std::vector<std::uint8_t> compared = WithoutClock(bytes);
  if (baselinePending_) {
    baselinePending_ = false;
    wroteOnce_ = false;
    written_ = std::move(compared);
    return false;
  }
  if (compared == written_) return false;
  WriteReplacing(path, bytes);
  written_ = std::move(compared);
  last_ = clock_();
  wroteOnce_ = true;
  return true;
}
