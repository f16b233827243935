#pragma once
// The trays of the game: the board tray first, then the others in the order
// they are drawn (ascending front number). Draws them with their pieces onto
// the board, finds the tray under a point, moves pieces between trays, keeps
// trays on the play area when it changes size, saves and restores them, and
// lays out their buttons on the tray bar.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "display/animator.h"
#include "display/hrtimer.h"
#include "display/screen.h"
#include "pieces/pieces.h"
#include "platform/canvas.h"
#include "platform/types.h"
#include "play/band.h"
#include "play/boardstate.h"
#include "play/box.h"
#include "play/traybar.h"

class TBoxes : public TPieces {
 public:
  // The records, the bar and the screen must outlive the trays.
  TBoxes(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
         TScreen& screen);
  ~TBoxes() override;

  TTrayCounters& Counters;
  TTrayBar& Bar;
  TScreen& Screen;  // the play area
  // The inverting outline on the screen: a band selection's, a tray edge
  // drag's and a tray zoom's.
  TBand Band;
  THRTimer HRTimer{10};
  // Steps the slides, flashes and zooms on the window's timer.
  TAnimator Animator;

  std::int32_t VisibleButtons = 0;  // tray buttons that fit on the bar
  std::vector<std::unique_ptr<TBox>> Trays;
  TPoint NextTrayPos;  // where the next new tray goes
  // The tray the mouse or a tray command acts on; the board tray by default.
  TBox* CurrentTray = nullptr;

  TBox& BoardTray() const { return *Trays.front(); }
  // The piece records and the tray list with the board tray holding them all.
  void MakeTrays();
  // Every tray, then the piece records.
  void FreeTrays();
  // A tray with its pieces (pieces only for the board), limited to clip.
  void DrawTray(const TBox& tray, TBitmap& bitmap, const TRect* clip) const;
  void DrawTrays(TBitmap& bitmap, const TRect* clip) const;
  // Orders the trays after the board by ascending FrontNo (their stacking)
  // or by ascending Number.
  enum class TTrayOrder : std::uint8_t { Stacking = 0, Number = 1 };
  void SortTrays(TTrayOrder order);
  void SortAllTrayPieces(TSortOrder order);
  // The frontmost open tray whose bounds hold the point; the board if none.
  TBox& TrayAt(int x, int y) const;
  // The first tray with that number; the board if none.
  TBox& TrayByNumber(std::uint32_t number) const;
  // Moves the pieces (all from one tray) into target and switches the two
  // trays' button pictures between empty and full.
  void MoveToTray(TPieceSpan list, TBox& target);
  void SetTrayLifted(TBox& tray, bool lifted);
  void MoveTray(TBox& tray, int dx, int dy);
  void StoreTrayPositions(TBox& tray);
  // After pieces were put down in a tray or on the board: its pieces in
  // stacking order, each group of which no piece lies inside the inner area
  // brought back by the rule a resume uses, and the places stored. What
  // shows after a drop is what the next start shows. Returns where the
  // groups brought back lay before and after.
  TRect SettleTrayPieces(TBox& tray);
  // Every group of a tray other than the board whole inside its inner area,
  // where nothing of it is cut off: the tray grows (as far as the board
  // allows) for a group larger than the area, and a group that sticks out
  // moves in. The places of the groups that moved are stored. Returns where
  // they lay before and after.
  TRect FitTrayPieces(TBox& tray);
  // The tray grows to the right and down until its inner area is at least
  // width x height, moving back onto the board where it would leave it and
  // never growing beyond the board.
  void GrowTray(TBox& tray, int width, int height);
  // Every group of the board that lies under an open tray moves to the
  // nearest place on the board that no open tray covers, if there is one.
  // Returns where the groups moved lay before and after.
  TRect UncoverBoardPieces();
  // Both: nothing cut off inside a tray, nothing of the board under one.
  // What every change of the board ends with.
  TRect KeepPiecesInSight();
  // The size of the tray's largest group.
  TSize LargestGroupSize(const TBox& tray) const;
  // Shifts rect so that at least 32 pixels of it stay in the area across and
  // its top stays inside.
  static void KeepTrayVisible(TRect& rect, const TRect& area);
  // After the play area changed size: every tray kept on it, the board's
  // groups re-placed.
  void RefitTrays();
  // The action for every group of a list in stacking order, with the
  // group's bounds.
  static void ForEachGroup(TPieceSpan list, const std::function<void(TPieceSpan, const TRect&)>& action);
  // Closes every open tray other than the board that holds no piece.
  void CloseEmptyTrays();
  // Places the scroll and tray buttons on the bar.
  void LayoutBar(bool playing);
  // The bar shows while a game is played with a tray besides the board, its
  // buttons laid out.
  void ShowTrayBar(bool playing);

  // The trays become those of the states, in drawing order after the board:
  // those the states lack go, those missing come. Every piece goes to the
  // tray its record names, in stacking order, and the current tray is the
  // board again.
  void RestoreTrays(std::span<const TTrayState> trays);

  // Repaints rect of the board from the mural, the trays and their pieces,
  // and shows it.
  virtual void RefreshArea(const TRect& rect) = 0;
  // A right press on a tray's bar button: the tray icon popup at that point.
  virtual void PopupTrayIcon(TPoint screenPoint);
  // Sound effect n of a tray opening or closing (when sound is on).
  void TrayEffect(int n) { PlayEffect(n); }
};
