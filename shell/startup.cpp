#include "shell/startup.h"

#include "platform/messagebox.h"
#include "platform/system.h"

int ColorDepth() { return ScreenDepth(); }

bool CheckDisplay() {
  const int depth = ColorDepth();
  if (depth >= 15) return true;
  const QString text =
      QStringLiteral(
          "This program needs HiColor mode (64K colors) or better and so is unable to continue while your "
          "desktop is set to %1 colors. Would you like to change your settings now?")
          .arg(qint64(1) << depth);
  if (MessageDlg(text, TMsgType::Warning, TMsgButtons::OkCancel) == TMsgResult::Ok) {
    const QString settings = DisplaySettingsCommand();
    if (!settings.isEmpty()) StartProgram(settings);
  }
  return false;
}

void OpenInBrowser(const QString& address) {
  const QStringList command = BrowserCommand(DefaultBrowserCommand(), address);
  if (!command.isEmpty()) {
    StartProgram(command);
    return;
  }
  MessageDlg(QStringLiteral("I'm unable to find your Internet Browser. If you have an Internet connection, please "
                            "connect to ") +
                 address +
                 QStringLiteral(" yourself, otherwise you can print and mail in the order form with a check."),
             TMsgType::Information, TMsgButtons::Ok);
}
