#pragma once
// "Set Piece Size and Shape": the user re-cuts the puzzle with another piece
// size (a scale of the picture), shape style and oddness, watching one sample
// piece change as the controls move. A scale whose pieces could not be cut
// springs back at once; the cut itself happens on Apply or OK.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

#include "game/puzzlerecord.h"
#include "platform/bitmap.h"

class TCanvas;

// What the dialog reads and changes of the game; the main window answers for
// it.
class TPieceSizeSource {
 public:
  // The puzzle being played: its picture as decoded, its grid, and its
  // scale, oddness and shape style.
  virtual const TPuzzleRecord& Record() const = 0;
  // Stores the shape for the next cut.
  virtual void SetShape(std::int16_t oddness, std::int32_t style) = 0;
  // Cuts the puzzle again at percent of its picture's size and lays the new
  // pieces out. EError when it cannot.
  virtual void SetScale(int percent) = 0;

 protected:
  ~TPieceSizeSource() = default;
};

// False when the record's puzzle cannot be cut at that scale: its pieces
// would be smaller or larger than the piece set allows, or the cut picture
// larger than the game can hold. Otherwise, with a canvas, draws the sample
// piece of that size, oddness and style on it.
bool DrawSamplePiece(const TPuzzleRecord& record, TCanvas* canvas, int scalePercent, int oddness, std::int32_t style);

// An indicator light: a round yellow lamp in a sunken ring.
class TLed : public QWidget {
  Q_OBJECT

 public:
  static constexpr int Size = 10;
  static constexpr int LampSize = 6;

  explicit TLed(QWidget* parent = nullptr);

  bool Lit() const { return lit_; }
  void SetLit(bool lit);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool lit_ = false;
};

class TPieceSizeDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 337;
  static constexpr int ClientHeight = 264;
  static constexpr int StyleCount = 6;  // styles 1 Classic to 6 Mix

  // The source must outlive the dialog.
  explicit TPieceSizeDlg(TPieceSizeSource& source, QWidget* parent = nullptr);

  QFrame* Panel1;
  QWidget* PaintBox1;  // the preview
  QToolButton* BtnClassic;
  QToolButton* BtnBlip;
  QToolButton* BtnSquare;
  QToolButton* BtnStar;
  QToolButton* BtnRound;
  QToolButton* BtnMix;
  TLed* LEDClassic;
  TLed* LEDBlip;
  TLed* LEDSquare;
  TLed* LEDStar;
  TLed* LEDRound;
  TLed* LEDMix;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* ApplyBtn;
  QLabel* Label4;
  QFrame* Panel3;
  QScrollBar* ScrollBarOdd;
  QLabel* LabelOdd;
  QLabel* Label1;
  QFrame* Panel2;
  QScrollBar* ScrollBarScale;
  QLabel* LabelScale;

  // In style order: element i belongs to style i + 1.
  std::array<QToolButton*, StyleCount> StyleButtons;
  std::array<TLed*, StyleCount> StyleLeds;

  std::int32_t StyleIndex = 1;
  // A control was used since the dialog opened or since the last Apply.
  bool Changed = false;
  // The last scale the preview accepted. The dialog lives as long as the
  // program, so a refused scale springs back to what any earlier opening
  // accepted.
  int ScaleLimit = 100;

  // The re-cut of Apply and OK replaces every piece. The owner runs it at
  // once, or, while a call that holds pieces is running (auto-solve), once
  // that call has ended. Unset, it runs at once.
  std::function<void(std::function<void()> recut)> OnRecut;

  // Sets the controls to the game's scale, oddness and style.
  void FormShow();
  void ScrollBarScaleChange();
  void BtnPieceClick(QToolButton* sender);
  void ApplyBtnClick();
  void OKBtnClick();
  // The note under a preview scaled down to fit the box; empty otherwise.
  const QString& PreviewNote() const { return previewNote_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearPreview();
  // Clears the preview and draws the sample piece of the controls' values
  // whole in its middle, scaled down with a note when it is larger than the
  // box; false when the scale is refused and nothing is drawn.
  bool DrawPreview();
  void ShowValues();
  // SetShape and SetScale, and back to 100 % when the cut fails.
  void Recut(std::int16_t oddness, std::int32_t style, int percent);

  TPieceSizeSource& source_;
  TBitmap preview_;
  QString previewNote_;
};

// Piece Size...: the dialog opens on the game's values and is shown modally;
// what it applied stays, whatever the answer.
void ChoosePieceSize(TPieceSizeDlg& dialog);
