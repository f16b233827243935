#include "display/hrtimer.h"

#include <algorithm>
#include <chrono>

namespace {

// Wrap-around arithmetic on millisecond counts, as a 32-bit millisecond
// counter behaves.
std::int32_t WrapMs(std::int64_t ms) { return std::int32_t(std::uint32_t(std::uint64_t(ms))); }

class TSteadyTimerDevice final : public TTimerDevice {
 public:
  bool GetDevCaps(TTimerCaps& caps) override {
    caps = {1, 1000000};
    return true;
  }
  void BeginPeriod(std::uint32_t) override {}
  void EndPeriod(std::uint32_t) override {}
  std::int32_t Time() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return WrapMs(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  std::int32_t TickCount() override { return Time(); }
};

}  // namespace

namespace {
TTimerDevice* replacementDevice = nullptr;
}  // namespace

TTimerDevice& SystemTimerDevice() {
  static TSteadyTimerDevice device;
  return replacementDevice ? *replacementDevice : device;
}

void SetSystemTimerDevice(TTimerDevice* device) { replacementDevice = device; }

THRTimer::THRTimer(std::uint16_t period, TTimerDevice& device) : device_(device) {
  TTimerCaps caps;
  highRes_ = device_.GetDevCaps(caps);
  period_ = period;
  if (highRes_) {
    period_ = std::uint16_t(
        std::min<std::uint32_t>(std::max<std::uint32_t>(period, caps.PeriodMin), UINT16_MAX));
    device_.BeginPeriod(period_);
  }
}

THRTimer::~THRTimer() {
  if (highRes_) device_.EndPeriod(period_);
}

std::int32_t THRTimer::Now() const { return highRes_ ? device_.Time() : device_.TickCount(); }
