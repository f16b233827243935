#pragma once
// The game object: the one object that owns the puzzle being played. It is at
// once the piece set, the tray collection, the move engine and the game: it
// loads the gift, builds and lays out the puzzle, keeps the options record in
// step with the menus, paints and resizes the board and rescales the cut. It
// reaches the windows only through the window state it fills in and reads
// back, and through the play area's screen, so a whole game runs without a
// window.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "game/extrasrecord.h"
#include "game/gift.h"
#include "game/jigconfig.h"
#include "game/puzzlerecord.h"
#include "game/windowstate.h"
#include "play/move.h"

// Which tray an arranging command works on: the tray under the pointer when
// the tray popup opened, or the board.
enum class TArrangeSource { Board, PopupTray };

class TJigsaw : public TMove {
 public:
  enum : std::uint8_t { NotStarted = 0, Playing = 2 };

  // The window state, the records and the screen must outlive the game.
  // exePath names the gift; tests and the gift tool give another file.
  TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen,
          std::function<QString()> exePath = ::ExePath);
  ~TJigsaw() override;

  TWindowState& Window;
  TPuzzleRecord& Record;
  TExtrasRecord& Extras;
  TJigConfig& Config;
  TGift Gift;

  TBitmap OriginalPicture;  // as decoded; the source of every rescale
  std::uint8_t State = NotStarted;
  std::uint8_t MouseState = 0;
  // The two mask sheets of the last cut, kept for rebuilding the images.
  std::vector<std::uint8_t> OutlineBuffer;
  TPoint PopupPoint;
  TFormPiece* PopupPiece = nullptr;
  TFormPiece* NeighbourPiece = nullptr;

  // Reads the gift's trailer into the window state and the records.
  void LoadGift();
  void ShowClosingTexts(TSplashTexts& splash) const;
  // Decodes the picture, cuts it and builds the pieces and their images.
  void BuildPuzzle();
  // Lays out the game; true when a saved game was resumed.
  bool ResumeOrStart();
  void StartNewLayout();
  void RebuildSaved();
  void RestoreLayout();

  bool IsPlaying() const { return State == Playing; }
  void SetState(std::uint8_t state);

  void SetSound(bool on);
  void SetCheating(bool allowed, bool store);
  void SetShadows(bool on);
  // Returns the option as it ends up: the user may turn pieces back or keep
  // rotation on.
  bool SetRotation(bool on, const QString& question);
  void SetShape(std::int16_t oddness, std::int32_t style);
  // Re-cuts the puzzle at percent of the decoded picture's size with the
  // same seed. EError, before anything changes, for a scale whose cut would
  // not fit the puzzle record or the picture limit.
  void SetScale(int percent);

  // The play area's paint: whatever is invalid on the screen comes from the
  // board (before the game plays, from the mural).
  void PaintBoard();
  void ResizeBoard(std::uint16_t width, std::uint16_t height);
  // The picture overlay and the full-screen picture draw into bitmaps of
  // their windows' client size.
  void PaintOverlay(TBitmap& box) const;
  // The overlay's client size fitted to the picture's aspect.
  void FitOverlay();
  void PaintZoom(TBitmap& box) const;

  // The clock's second: the status panels, and the play time while one of
  // the game's windows is active.
  void Tick();

  void ArrangeInGrid(TArrangeSource source, bool byShape, bool byColour);
  void ArrangeAtEdge(TArrangeSource source, bool byShape, bool byColour);
  void Disarrange(TArrangeSource source, bool rotateOnly);
  void RightWayUpAll();

 protected:
  void PlayEffect(int n) override;

 private:
  TJigsaw(TWindowState& window, TGameRecords& records, TScreen& screen, std::function<QString()> exePath,
          std::unique_ptr<TJigConfig> config);

  // The tray an arranging command works on, and its repaint afterwards.
  TBox& ArrangeTray(TArrangeSource source) const;
  void Arranged(TBox& tray);
  // The overlay's height follows the picture's aspect at its width.
  void AdjustOverlayHeight();
  // Rebuilds the mural in the window's colour and paints the whole board.
  void RebuildBoard();
  void FreeCutBuffers();

  std::unique_ptr<TJigConfig> config_;
};

// Cuts the record's puzzle again from its seed into the piece set, whose
// records exist, and builds the pieces' images from the picture stretched to
// the cut size. The game object's one way to a cut; the tests and
// benchmarks take it too.
void CutPuzzle(TPieces& pieces, TPuzzleRecord& record, const TBitmap& original,
               std::vector<std::uint8_t>& outlineBuffer, bool playing);
