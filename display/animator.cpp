#include "display/animator.h"

namespace {

// An action in the queue: done when its turn comes, or when it is settled.
class TAction final : public TAnimation {
 public:
  explicit TAction(std::function<void()> action) : action_(std::move(action)) {}
  int Step() override {
    action_();
    return Ended;
  }
  void Settle(bool) override { action_(); }

 private:
  std::function<void()> action_;
};

}  // namespace

TAnimator::TAnimator() {
  timer_.setSingleShot(true);
  // Slides keep their pace to the millisecond, as their frames are timed.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { RunDue(); });
}

void TAnimator::Start(std::unique_ptr<TAnimation> motion) {
  queue_.push_back(std::move(motion));
  if (queue_.size() == 1) timer_.start(0);
}

void TAnimator::Then(std::function<void()> action) { Start(std::make_unique<TAction>(std::move(action))); }

void TAnimator::StartBackground(std::unique_ptr<TAnimation> background) {
  if (background_) Finish();
  background_ = std::move(background);
  if (queue_.empty()) timer_.start(0);
}

void TAnimator::Settle(bool interrupted) {
  if (queue_.empty()) return;
  // A motion settled may queue more (an action that starts the next): they
  // are settled in turn.
  while (!queue_.empty()) {
    const std::unique_ptr<TAnimation> motion = std::move(queue_.front());
    queue_.pop_front();
    motion->Settle(interrupted);
  }
  Continue(0);
}

void TAnimator::Finish() {
  Settle();
  while (background_) {
    const bool ended = background_->Step() == TAnimation::Ended;
    if (ended) background_.reset();
    Settle();
  }
  timer_.stop();
  if (OnRest) OnRest();
}

bool TAnimator::Advance() {
  if (!Running()) return false;
  timer_.stop();
  RunDue();
  return Running();
}

void TAnimator::RunDue() {
  try {
    Step();
  } catch (...) {
    queue_.clear();
    background_.reset();
    timer_.stop();
    if (!OnError) throw;
    OnError(std::current_exception());
  }
}

void TAnimator::Step() {
  // The animation stepping is out of the queue meanwhile: whatever its step
  // does, it never settles or frees the animation in the middle of it.
  int wait = 0;
  if (!queue_.empty()) {
    std::unique_ptr<TAnimation> motion = std::move(queue_.front());
    queue_.pop_front();
    wait = motion->Step();
    if (wait != TAnimation::Ended)
      queue_.push_front(std::move(motion));
    else
      wait = 0;
  } else if (background_) {
    std::unique_ptr<TAnimation> background = std::move(background_);
    wait = background->Step();
    if (wait != TAnimation::Ended && !background_)
      background_ = std::move(background);
    else
      wait = 0;
  }
  Continue(wait);
}

void TAnimator::Continue(int wait) {
  if (Running())
    timer_.start(wait);
  else
    timer_.stop();
  if (queue_.empty() && OnRest) OnRest();
}
