#pragma once
// "Make your own jigsaw gift": how to make a gift like this one from a
// picture of one's own with the tessarine-gift tool, which can be printed.

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTextBrowser>

#include <span>

class TMakeGiftDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 560;
  static constexpr int ClientHeight = 470;

  // An option of "tessarine-gift make" as the window explains it; Value is
  // what it takes (empty for a plain switch).
  struct TOption {
    const char* Name;
    const char* Value;
    const char* Meaning;
  };
  static std::span<const TOption> MainOptions();
  // What the example command gives the tool.
  static QStringList ExampleArguments();

  // toolFolder: where the tool should lie, the player's own folder.
  explicit TMakeGiftDlg(const QString& toolFolder = QCoreApplication::applicationDirPath(),
                        QWidget* parent = nullptr);

  // The tool beside the player, else the one on the search path, else its
  // bare name (and ToolFound is false).
  QString ToolPath() const { return toolPath_; }
  bool ToolFound() const { return toolFound_; }
  // The example command as the window shows it, ready to paste into a shell.
  QString CommandLine() const;

  QLabel* ProgramIcon;
  QTextBrowser* Guide;
  QPushButton* PrintBtn;
  QPushButton* OKBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString GuideHtml(const QString& toolFolder) const;
  void Print();

  QString toolPath_;
  bool toolFound_ = false;
};

// Shows the window modally over parent, for the tool beside this player.
void ShowMakeGiftDlg(QWidget* parent);
