// The one road into the game: every menu item, button, popup command,
// tray-bar click, mouse operation, paint and tick the window forwards comes
// through Perform.

#include "game/jigsaw.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

void TJigsaw::Perform(const std::function<void()>& call, TCommandKind kind) {
  const QString error = ErrorOf([&] {
    if (kind == TCommandKind::Command) SettleAnimations();
    call();
  });
  // Whatever the call changed on the board becomes a step to undo, the board
  // an error left behind included, before the error box lets the window
  // paint it.
  if (kind != TCommandKind::View && IsPlaying()) NoteChanges();
  if (!error.isEmpty()) MessageDlg(error, TMsgType::Error, TMsgButtons::Ok);
}
