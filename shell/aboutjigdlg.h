#pragma once
// "About this jigsaw": the puzzle's title, creator, size, origin and the
// player's progress, and the creator's description.

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "game/progress.h"

class TAboutJigDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 470;
  static constexpr int ClientHeight = 442;

  explicit TAboutJigDlg(QWidget* parent = nullptr);

  // The texts to show; the description stays as it is when info has none.
  void Fill(const TAboutInfo& info);

  QGroupBox* InfoGroup;
  QLabel* TitleLabel;
  QLabel* CreatorLabel;
  QLabel* InfoLabel;
  QLabel* StatusLabel;
  QLabel* TitleName;
  QLabel* CreatorName;
  QLabel* PuzzleStats;
  QLabel* CreationStats;
  QLabel* JigStatus;
  QGroupBox* DescriptionGroup;
  QPlainTextEdit* Memo1;
  QPushButton* OKBtn;

 protected:
  void showEvent(QShowEvent* event) override;
};
