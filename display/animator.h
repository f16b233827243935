#pragma once
// Animations stepped by the window's timer: a frame is drawn, the window goes
// back to its events (paints, clicks, commands, the clock) and the timer
// brings the next frame when it is due. Nothing waits on the window thread.
//
// Motions (a piece sliding, a flash, a tray's zoom) run one after another in
// the order they were started. A long animation that makes motions of its
// own (auto-solve) runs in the background: it steps only while no motion
// runs, so between its steps nothing of it floats.

#include <QTimer>

#include <deque>
#include <exception>
#include <functional>
#include <memory>

class TAnimation {
 public:
  virtual ~TAnimation() = default;
  // Step's answer when the animation has ended.
  static constexpr int Ended = -1;
  // Draws what is due now; returns the milliseconds until the next step is
  // due, or Ended.
  virtual int Step() = 0;
  // Comes to its end state at once: nothing it lifted stays afloat and
  // nothing it drew stays on the screen. A press of the mouse stops a motion
  // that may be stopped where it stands (interrupted); otherwise it ends as
  // its last frame would have.
  virtual void Settle(bool interrupted) = 0;
};

class TAnimator {
 public:
  TAnimator();
  TAnimator(const TAnimator&) = delete;
  TAnimator& operator=(const TAnimator&) = delete;

  // Queues a motion behind those that run; its first step is due at once
  // when none runs.
  void Start(std::unique_ptr<TAnimation> motion);
  // Queues an action to run once the motions queued before it have ended.
  void Then(std::function<void()> action);
  // Runs an animation in the background, stepping whenever no motion runs.
  // One at a time: the background that runs ends first.
  void StartBackground(std::unique_ptr<TAnimation> background);

  // Every queued motion comes to its end state now, in order; the
  // background stays, at rest between its steps.
  void Settle(bool interrupted = false);
  // The background's steps run now, one after another with their motions
  // settled, until it ends; for a background that has been told to stop.
  void Finish();

  bool Running() const { return !queue_.empty() || background_; }
  bool MotionRunning() const { return !queue_.empty(); }

  // Runs the step that is due next at once, without waiting for its time;
  // false when nothing runs any more. For tests and tools without an event
  // loop.
  bool Advance();

  // Called after a step or a settle that leaves no motion queued: the board
  // is at rest, if only until the background's next step.
  std::function<void()> OnRest;
  // A step failed: every animation has been dropped as it was, and this is
  // told why. Without it the error goes on to the caller of the step.
  std::function<void(const std::exception_ptr&)> OnError;

 private:
  void RunDue();
  void Step();
  // The timer for the next step, or OnRest when no motion is left.
  void Continue(int wait);

  std::deque<std::unique_ptr<TAnimation>> queue_;
  std::unique_ptr<TAnimation> background_;
  QTimer timer_;
};
