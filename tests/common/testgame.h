#pragma once
// A game of a test gift on a headless play area, started as the main window
// starts it.

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

#include "game/jigsaw.h"
#include "tests/common/testgift.h"

inline bool SameBitmap(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + 3 * a.Width(), b.ScanLine(y))) return false;
  return true;
}

class TTestGame {
 public:
  explicit TTestGame(const QString& path, int width = 480, int height = 360) : path_(path) {
    window.PlayAreaWidth = width;
    window.PlayAreaHeight = height;
    screen.Resize(width, height);
    game = std::make_unique<TJigsaw>(window, records, screen, [this] { return path_; });
    screen.SetPainter([this] { game->PaintBoard(); });
  }

  // What the start-up sequence does up to a board on the screen.
  void Start() {
    game->LoadGift();
    game->BuildPuzzle();
    game->ResumeOrStart();
    game->ResizeBoard(std::uint16_t(window.PlayAreaWidth), std::uint16_t(window.PlayAreaHeight));
    screen.PaintInvalid();
  }

  std::vector<TFormPiece> Records() const { return game->Pieces; }

  TWindowState window;
  TGameRecords records;
  TScreen screen;
  std::unique_ptr<TJigsaw> game;

 private:
  QString path_;
};

