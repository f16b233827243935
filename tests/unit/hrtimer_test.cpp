#include "display/hrtimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
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
  int Reads = 0;

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
    ++Reads;
    return FineTime = std::int32_t(std::uint32_t(FineTime) + 1);
  }
  std::int32_t TickCount() override {
    ++Reads;
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

TEST(HRTimer, DelaySpinsUntilTheClockPassesTheTargetAcrossTheWrap) {
  TFakeTimerDevice device;
  THRTimer timer(10, device);

  // Delay(0): one read for the start, one that is already past it.
  device.FineTime = 99;
  device.Reads = 0;
  timer.Delay(0);
  EXPECT_EQ(device.Reads, 2);
  EXPECT_EQ(device.FineTime, 101);

  // Delay(5) from 100 returns on reading 106.
  device.FineTime = 99;
  device.Reads = 0;
  timer.Delay(5);
  EXPECT_EQ(device.FineTime, 106);
  EXPECT_EQ(device.Reads, 7);

  // The same just below the wrap of the 32-bit count: the target lies past it.
  device.FineTime = INT32_MAX - 3;
  device.Reads = 0;
  timer.Delay(5);
  EXPECT_EQ(device.Reads, 7);
  EXPECT_EQ(device.FineTime, INT32_MIN + 3);

  // A negative delay is already over.
  device.Reads = 0;
  timer.Delay(-5);
  EXPECT_EQ(device.Reads, 2);
}

TEST(HRTimer, SteadyClockRunsInMilliseconds) {
  THRTimer timer(10);
  EXPECT_TRUE(timer.HighRes());
  EXPECT_EQ(timer.Period(), 10);

  const std::int32_t start = timer.Now();
  timer.Delay(0);
  EXPECT_GT(std::int32_t(std::uint32_t(timer.Now()) - std::uint32_t(start)), 0);

  const auto before = std::chrono::steady_clock::now();
  timer.Delay(2);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2));
}
