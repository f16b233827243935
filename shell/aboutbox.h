#pragma once
// The about box: this program's name and version, a short notice, and the
// maker's web site when the build names one.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "shell/startup.h"

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 397;
  static constexpr int ClientHeight = 216;

  // webAddress: the maker's site, shown as a link that opens the browser;
  // without one the link is hidden.
  explicit TAboutBox(const QString& webAddress = MakerWebAddress(), QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* ProgramIcon;
  QLabel* ProductShad;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Notice;
  QLabel* Comment;
  QLabel* WebLab;
  QPushButton* OKButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
