#pragma once
// The splash window: at start it shows the gift's opening message while the
// puzzle is built, then waits for "&Play..."; at exit a new one shows the
// closing message with a Close button and the "Save game..." box.

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <QToolButton>

#include "game/windowstate.h"

class TSplashForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 434;
  static constexpr int ClientHeight = 414;

  explicit TSplashForm(QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* ProductShad;
  QLabel* Product;
  QLabel* Version;
  QFrame* Panel2;
  QLabel* GiftLab;
  QToolButton* WebBtn;
  QToolButton* OrderBtn;
  QToolButton* OkBtn;
  QCheckBox* SaveResumeBox;
  QTextEdit* Memo1;

  // The gift's message, memo text, colours and font, and the heights that
  // an empty memo shortens.
  void ShowTexts(const TSplashTexts& texts);
  // The OK button makes room for the check box below it and puts its glyph
  // right of its caption.
  void CompactOkButton();
  // Shows the check box with its caption, making room for it.
  void ShowSaveResumeBox(const QString& caption);
  // The closing splash's button: a Close button that closes the window.
  void MakeCloseButton();
  void SetButtonsEnabled(bool enabled);
  // Always on top while the gift loads; a normal window once it waits.
  void SetStayOnTop(bool onTop);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
