// The one road of a person's commands into the game: every menu item,
// button, popup command, tray-bar click and mouse operation the window
// forwards comes through Perform.

#include "game/jigsaw.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

void TJigsaw::Perform(const std::function<void()>& command, bool step) {
  const QString error = ErrorOf(command);
  // Whatever the command changed on the board becomes a step to undo, the
  // board an error left behind included, before the error box lets the
  // window paint it.
  if (step && IsPlaying()) NoteChanges();
  if (!error.isEmpty()) MessageDlg(error, TMsgType::Error, TMsgButtons::Ok);
}
