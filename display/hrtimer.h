#pragma once
// The millisecond clock that paces animations on the window thread. It is not
// an event source: animations read Now to time their frames, and the window's
// timer brings their steps.

#include <cstdint>

// What the timer device reports about itself.
struct TTimerCaps {
  std::uint32_t PeriodMin = 0;  // ms
  std::uint32_t PeriodMax = 0;  // ms
};

// The platform's millisecond timer device: a fine clock with a settable
// resolution, and the coarse tick count to fall back on when the device does
// not answer.
class TTimerDevice {
 public:
  virtual ~TTimerDevice() = default;
  // False when there is no device to ask.
  virtual bool GetDevCaps(TTimerCaps& caps) = 0;
  virtual void BeginPeriod(std::uint32_t period) = 0;
  virtual void EndPeriod(std::uint32_t period) = 0;
  // Milliseconds since some fixed moment; both wrap around after 2^32 ms.
  virtual std::int32_t Time() = 0;
  virtual std::int32_t TickCount() = 0;
};

// The steady clock of this platform. Its resolution is always finer than a
// millisecond, so the period calls have nothing to do.
TTimerDevice& SystemTimerDevice();
// A test's own device in the steady clock's place for the timers made from
// now on; null puts the steady clock back.
void SetSystemTimerDevice(TTimerDevice* device);

class THRTimer {
 public:
  // Requests the given resolution from the device, or the device's minimum
  // when that is coarser, and holds it until destruction. The device must
  // outlive the timer.
  explicit THRTimer(std::uint16_t period, TTimerDevice& device = SystemTimerDevice());
  ~THRTimer();
  THRTimer(const THRTimer&) = delete;
  THRTimer& operator=(const THRTimer&) = delete;

  // The device answered its capability query.
  bool HighRes() const { return highRes_; }
  // The resolution requested from the device, in ms.
  std::uint16_t Period() const { return period_; }

  // Milliseconds; wraps around, so compare times only by their difference.
  std::int32_t Now() const;

 private:
  TTimerDevice& device_;
  bool highRes_ = false;
  std::uint16_t period_ = 0;
};
