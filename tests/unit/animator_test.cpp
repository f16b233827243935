#include "display/animator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A motion of a few frames that notes each step and its settling in a log.
class TNoted final : public TAnimation {
 public:
  TNoted(std::vector<std::string>& log, std::string name, int frames, int wait = 0)
      : log_(log), name_(std::move(name)), frames_(frames), wait_(wait) {}
  int Step() override {
    log_.push_back(name_ + std::to_string(++frame_));
    return frame_ == frames_ ? Ended : wait_;
  }
  void Settle(bool interrupted) override { log_.push_back(name_ + (interrupted ? " stopped" : " ended")); }

 private:
  std::vector<std::string>& log_;
  const std::string name_;
  const int frames_;
  const int wait_;
  int frame_ = 0;
};

// A background that queues a motion of its own at every step until its
// rounds are done.
class TRounds final : public TAnimation {
 public:
  TRounds(TAnimator& animator, std::vector<std::string>& log, int rounds)
      : animator_(animator), log_(log), rounds_(rounds) {}
  int Step() override {
    if (round_ == rounds_) {
      log_.push_back("rounds over");
      return Ended;
    }
    animator_.Start(std::make_unique<TNoted>(log_, "round" + std::to_string(++round_) + ".", 2));
    return 0;
  }
  void Settle(bool) override {}

 private:
  TAnimator& animator_;
  std::vector<std::string>& log_;
  const int rounds_;
  int round_ = 0;
};

using TLog = std::vector<std::string>;

}  // namespace

TEST(Animator, MotionsRunInTurnAndTheBackgroundStepsOnlyBetweenThem) {
  TAnimator animator;
  TLog log;
  int rests = 0;
  animator.OnRest = [&] { ++rests; };
  animator.Start(std::make_unique<TNoted>(log, "a", 2));
  animator.Then([&] { log.push_back("then"); });
  animator.StartBackground(std::make_unique<TRounds>(animator, log, 2));
  animator.Start(std::make_unique<TNoted>(log, "b", 1));
  EXPECT_TRUE(log.empty());  // nothing is drawn before the first step is due
  while (animator.Advance()) {
  }
  EXPECT_EQ(log, (TLog{"a1", "a2", "then", "b1", "round1.1", "round1.2", "round2.1", "round2.2", "rounds over"}));
  EXPECT_FALSE(animator.Running());
  // At rest after b, after each round's motion and after the background's
  // end.
  EXPECT_EQ(rests, 4);
}

TEST(Animator, SettlingEndsEveryMotionInOrderAndLeavesTheBackgroundAtRest) {
  TAnimator animator;
  TLog log;
  animator.StartBackground(std::make_unique<TRounds>(animator, log, 3));
  ASSERT_TRUE(animator.Advance());  // round 1 queued
  ASSERT_TRUE(animator.Advance());  // its first frame
  animator.Then([&] { log.push_back("drop"); });
  animator.Settle(true);
  EXPECT_EQ(log, (TLog{"round1.1", "round1. stopped", "drop"}));
  EXPECT_FALSE(animator.MotionRunning());
  EXPECT_TRUE(animator.Running());

  // Finished: the background's remaining steps run at once, their motions
  // settled as they come, not stopped.
  log.clear();
  animator.Finish();
  EXPECT_EQ(log, (TLog{"round2. ended", "round3. ended", "rounds over"}));
  EXPECT_FALSE(animator.Running());
}

TEST(Animator, AFailingStepDropsEveryAnimationAndSaysWhy) {
  struct TFailing final : TAnimation {
    int Step() override { throw std::runtime_error("no memory for the drag image"); }
    void Settle(bool) override {}
  };
  TAnimator animator;
  TLog log;
  std::vector<std::string> errors;
  animator.OnError = [&](const std::exception_ptr& error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      errors.push_back(e.what());
    }
  };
  animator.StartBackground(std::make_unique<TRounds>(animator, log, 5));
  animator.Start(std::make_unique<TFailing>());
  animator.Start(std::make_unique<TNoted>(log, "after", 1));
  EXPECT_FALSE(animator.Advance());
  EXPECT_EQ(errors, (std::vector<std::string>{"no memory for the drag image"}));
  EXPECT_TRUE(log.empty());

  // Without anyone to tell, the error goes on to whoever stepped.
  animator.OnError = {};
  animator.Start(std::make_unique<TFailing>());
  EXPECT_THROW(animator.Advance(), std::runtime_error);
  EXPECT_FALSE(animator.Running());
}

TEST(Animator, TheTimerBringsTheStepsWhenTheyAreDue) {
  TAnimator animator;
  TLog log;
  animator.Start(std::make_unique<TNoted>(log, "a", 3, 20));
  QElapsedTimer took;
  took.start();
  const QDeadlineTimer deadline(5000);
  while (animator.Running() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(log, (TLog{"a1", "a2", "a3"}));
  // Two waits of 20 ms between the three frames.
  EXPECT_GE(took.elapsed(), 40);
}
