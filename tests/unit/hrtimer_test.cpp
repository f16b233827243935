#include "display/hrtimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

// A device whose clocks move one millisecond every time they are read.
class TFakeTimerDevice : public TTimerDevice {
 public:
  bool Answers = true;
  TTimerCaps Caps{1, 1000000};
  std::vector<std::string> Calls;
  std::int32_t FineTime = 0;
  std::int32_t CoarseTime = 0;

  bool GetDevCaps(TTimerCaps& caps) override {
    if (Answers) caps = Caps;
    return Answers;
  }
  void BeginPeriod(std::uint32_t period) override {
    Calls.push_back("begin " + std::to_string(period));
  }
  void EndPeriod(std::uint32_t period) override {
    Calls.push_back("end " + std::to_string(period));
  }
  std::int32_t Time() override {
    return FineTime = std::int32_t(std::uint32_t(FineTime) + 1);
  }
  std::int32_t TickCount() override {
    return CoarseTime = std::int32_t(std::uint32_t(CoarseTime) + 1);
  }
};

}  // namespace

TEST(HRTimer, RequestsTheCoarserOfItsPeriodAndTheDeviceMinimum) {
  TFakeTimerDevice device;
  device.Caps.PeriodMin = 16;
  {
    THRTimer timer(10, device);
    EXPECT_TRUE(timer.HighRes());
    EXPECT_EQ(timer.Period(), 16);
    EXPECT_EQ(device.Calls, (std::vector<std::string>{"begin 16"}));
  }
  EXPECT_EQ(device.Calls, (std::vector<std::string>{"begin 16", "end 16"}));

  device.Calls.clear();
  device.Caps.PeriodMin = 1;
  {
    THRTimer timer(10, device);
    EXPECT_EQ(timer.Period(), 10);
  }
  EXPECT_EQ(device.Calls, (std::vector<std::string>{"begin 10", "end 10"}));
}

TEST(HRTimer, WithoutTheDeviceTheTickCountIsUsedAndNoPeriodIsSet) {
  TFakeTimerDevice device;
  device.Answers = false;
  device.Caps.PeriodMin = 16;
  device.FineTime = 1000;
  device.CoarseTime = 50;
  {
    THRTimer timer(10, device);
    EXPECT_FALSE(timer.HighRes());
    EXPECT_EQ(timer.Period(), 10);
    EXPECT_EQ(timer.Now(), 51);
  }
  EXPECT_TRUE(device.Calls.empty());
  EXPECT_EQ(device.FineTime, 1000);
}

TEST(HRTimer, SteadyClockRunsInMilliseconds) {
  THRTimer timer(10);
  EXPECT_TRUE(timer.HighRes());
  EXPECT_EQ(timer.Period(), 10);

  // Three ticks of the clock take at least two whole milliseconds.
  const auto before = std::chrono::steady_clock::now();
  const std::int32_t start = timer.Now();
  while (std::int32_t(std::uint32_t(timer.Now()) - std::uint32_t(start)) < 3) {
  }
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2));
}
