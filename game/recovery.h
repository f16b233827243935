#pragma once
// The game as it is being played, written every few seconds to a file of its
// own, so that a crash, a power cut or a killed session loses no more than
// those seconds. A normal end removes the file: finding it at the next start
// means the last game did not end normally.

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QString>

class TRecovery {
 public:
  using TClock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds Interval{5};

  explicit TRecovery(TClock clock = std::chrono::steady_clock::now) : clock_(std::move(clock)) {}

  // An interval has passed since the last write.
  bool Due() const { return !wroteOnce_ || clock_() - last_ >= Interval; }
  // Writes the saved-game bytes to path, replacing the file only once the
  // new one is whole, when the write is due and the game differs from the
  // last one written in more than its clock. True when it wrote. EError when
  // the file cannot be written; it is tried again next time.
  bool Offer(const QString& path, std::span<const std::uint8_t> bytes);
  // A game starts or resumes: the next offer is what the file, if there is
  // one, already holds, and what a first change is told from.
  void Restart() { baselinePending_ = true; }

 private:
  TClock clock_;
  std::chrono::steady_clock::time_point last_{};
  bool wroteOnce_ = false;
  bool baselinePending_ = true;
  std::vector<std::uint8_t> written_;  // the last file, its clock cleared
};
