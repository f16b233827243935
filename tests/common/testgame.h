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

// Each piece's group by its place in the stacking order (0 the lowest): what
// the board shows of the group numbers, which a resumed game gives afresh.
inline std::vector<std::size_t> GroupPlaces(const std::vector<TFormPiece>& pieces) {
  std::vector<std::int32_t> groups;
  for (const TFormPiece& p : pieces) groups.push_back(p.Group);
  std::sort(groups.begin(), groups.end());
  groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
  std::vector<std::size_t> places;
  for (const TFormPiece& p : pieces)
    places.push_back(std::size_t(std::lower_bound(groups.begin(), groups.end(), p.Group) - groups.begin()));
  return places;
}

// A point on the piece itself near its middle, where a hand takes it; its
// middle when none is found.
inline TPoint PointOnPiece(const TJigsaw& game, const TFormPiece& p) {
  const TPoint centre{p.X + p.Width / 2, p.Y + p.Height / 2};
  // Rings of growing distance from the centre, each point tried once.
  for (int r = 0; r < p.Width / 2; ++r)
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; dx += (dy == -r || dy == r || dx == r) ? 1 : 2 * r)
        if (game.TrayAt(centre.X + dx, centre.Y + dy).PieceUnder(centre.X + dx, centre.Y + dy, true) == &p)
          return {centre.X + dx, centre.Y + dy};
  return centre;
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

  // The player's start up to a board on the screen: true when a saved game
  // was resumed.
  bool Start() {
    game->LoadGift();
    const bool resumed = game->StartGame();
    screen.PaintInvalid();
    return resumed;
  }

  std::vector<TFormPiece> Records() const { return game->Pieces; }

  TWindowState window;
  TGameRecords records;
  TScreen screen;
  std::unique_ptr<TJigsaw> game;

 private:
  QString path_;
};

