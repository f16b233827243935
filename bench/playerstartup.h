#pragma once
// One start-up of the player: the real main window on a gift, on whatever
// platform the application runs (the benchmarks take Qt's offscreen one). The
// first clock tick builds the puzzle, lays it out and repaints the play area
// before it shows the splash, so the time from the tick to the splash is the
// time to a playable board. The splash is answered at once.

#include <QCoreApplication>
#include <QDialog>

#include <chrono>
#include <optional>

#include "bench/moment.h"
#include "shell/mainform.h"
#include "shell/modal.h"
#include "shell/playarea.h"

// Answers every modal window through the seam while it lives.
class TModalAnswers {
 public:
  explicit TModalAnswers(TModalHandler handler) { SetModalHandler(std::move(handler)); }
  ~TModalAnswers() { SetModalHandler({}); }
  TModalAnswers(const TModalAnswers&) = delete;
  TModalAnswers& operator=(const TModalAnswers&) = delete;
};

// The window, of a full HD desktop's size, stays open with the board on it
// for as long as the object lives. Given a play area size, the window grows
// around a play area of that size instead.
class TPlayerStartup {
 public:
  static constexpr int WindowWidth = 1920, WindowHeight = 1080;

  explicit TPlayerStartup(const QString& giftPath, QSize playArea = {})
      : form_([giftPath] { return giftPath; }) {
    form_.resize(WindowWidth, WindowHeight);
    form_.show();
    // The tick comes from here, once the window has shown itself, not after
    // the clock's first interval.
    form_.Timer1->stop();
    QCoreApplication::processEvents();
    if (playArea.isValid()) {
      form_.resize(form_.size() + playArea - form_.PaintBox1->size());
      QCoreApplication::processEvents();
    }
    const TMoment tick = TMoment::Now();
    form_.Timer1Timer();
    if (splashShown_) boardTime_ = splashShown_->Since(tick);
  }

  // Empty when no board came up: the gift could not be built.
  std::optional<TSpan> BoardTime() const { return boardTime_; }
  TMainForm& Form() { return form_; }
  const TMainForm& Form() const { return form_; }

 private:
  std::optional<TMoment> splashShown_;
  std::optional<TSpan> boardTime_;
  TModalAnswers answers_{[this](QDialog&) {
    if (!splashShown_) splashShown_ = TMoment::Now();
    return int(QDialog::Accepted);
  }};
  TMainForm form_;
};
