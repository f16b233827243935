#include "platform/messagebox.h"

#include <cstdio>

namespace {

TMessageHandler messageHandler;

TMsgResult FirstButton(TMsgButtons buttons) {
  return buttons == TMsgButtons::Ok || buttons == TMsgButtons::OkCancel ? TMsgResult::Ok : TMsgResult::Yes;
}

}  // namespace

void SetMessageHandler(TMessageHandler handler) { messageHandler = std::move(handler); }

TMsgResult MessageDlg(const QString& text, TMsgType type, TMsgButtons buttons) {
  if (messageHandler) return messageHandler(type, buttons, text);
  std::fprintf(stderr, "%s\n", qPrintable(text));
  return FirstButton(buttons);
}
