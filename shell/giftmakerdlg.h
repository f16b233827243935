#pragma once
// "Make a Jigsaw Gift": a gift made from any picture inside the player. The
// picture is shown large with the very cut the player will make drawn over
// it, live as the pieces, shape, oddness and seed change; the trailer's
// texts are checked as they are typed; the gift is saved through the same
// maker as the gift tool's, and can be played at once.

#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>

#include "game/giftmaker.h"
#include "game/gifttrailer.h"
#include "game/puzzlerecord.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TMusicPlayer;

// The picture scaled to the widget, with the cut's lines drawn over it in
// the inverse of the picture's colours, so that they show on any picture.
class TCutPreview : public QWidget {
  Q_OBJECT

 public:
  explicit TCutPreview(QWidget* parent = nullptr);

  // The picture to show (nullptr for none); it must outlive the preview's
  // use of it.
  void SetPicture(const TBitmap* picture);
  // Cuts the picture as the player does for the record's grid, oddness,
  // shape style and seed, at the size the picture is shown at.
  void SetCut(const TPuzzleRecord& record);

  // The shown picture and its cut lines, in device pixels (empty without a
  // picture or when the grid has more cells than the shown picture pixels).
  const QImage& Shown() const { return shown_; }
  const QImage& Lines() const { return lines_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rescale();
  void Recut();

  const TBitmap* picture_ = nullptr;
  TPuzzleRecord record_;
  QImage shown_;
  QImage lines_;
};

// What the window uses of the program around it.
struct TGiftMakerHost {
  // The player an executable gift is a copy of.
  std::function<QString()> PlayerPath;
  // Plays a saved gift as File › Open Gift does; none: no "Play It".
  std::function<void(const QString&)> PlayGift;
  // The program's one music player for listening to the tune (none: no
  // "Listen"), and what gives it back to the game afterwards.
  TMusicPlayer* Music = nullptr;
  std::function<void()> MusicDone;
};

class TGiftMakerDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TGiftMakerDlg(TGiftMakerHost host, QWidget* parent = nullptr);
  ~TGiftMakerDlg() override;

  // Loads a picture or a tune; a problem is shown in the window and said
  // in the result (empty when it loaded).
  QString LoadPicture(const QString& path);
  QString LoadMusic(const QString& path);
  // Writes the gift to path (a data gift when it ends in ".tgift");
  // returns the problem, or empty when the gift was written.
  QString SaveGift(const QString& path);
  // The gift as it would be saved now, texts with "\n" line breaks.
  TGiftTrailer Trailer() const;
  // What stops a save now, or empty.
  QString Problem() const;

  TCutPreview* Preview;
  QLineEdit* PicturePath;
  QPushButton* PictureBtn;
  QLabel* PictureInfo;
  QSpinBox* Pieces;
  QLabel* GridInfo;
  QButtonGroup* Shapes;
  QSpinBox* Oddness;
  QPushButton* NewCutBtn;
  QComboBox* Outline;
  QCheckBox* Rotation;
  QPushButton* BoardColorBtn;
  QLineEdit* Title;
  QLineEdit* Creator;
  QPlainTextEdit* Description;
  QPlainTextEdit* OpeningText;
  QPlainTextEdit* ClosingText;
  QPushButton* OpeningFontBtn;
  QPushButton* OpeningColorBtn;
  QPushButton* ClosingFontBtn;
  QPushButton* ClosingColorBtn;
  QLineEdit* MusicPath;
  QPushButton* MusicBtn;
  QPushButton* ListenBtn;
  QPushButton* NoMusicBtn;
  QLabel* ProblemLabel;
  QPushButton* SaveBtn;
  QPushButton* PlayBtn;
  QPushButton* CloseBtn;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Closed, or left with Escape: the tune being listened to stops.
  void hideEvent(QHideEvent* event) override;

 private:
  void ChoosePicture();
  void ChooseMusic();
  void Listen();
  void StopListening();
  void ChooseSaveFile();
  void ChooseBoardColor();
  void ChooseFont(TFontSpec& font, QPushButton* button);
  void ChooseMessageColor(QString& colorName, QPushButton* button);
  void SettingsChanged();
  void TextsChanged();
  void ShowSwatch(QPushButton* button, TColor color);
  void ShowFont(QPushButton* button, const TFontSpec& font);

  TGiftMakerHost host_;
  std::optional<TGiftPicture> picture_;
  QString pictureProblem_;
  QByteArray music_;
  TGiftTrailer trailer_;  // the settings without their own widget
  QString savedPath_;
  bool listening_ = false;
  QList<QLabel*> counters_;
};

// The program's one gift-making window: made on first use, shown and raised
// after that. Modeless; parent is the main window.
void ShowGiftMaker(QWidget* parent, const TGiftMakerHost& host);
