#pragma once
// Every modal message goes through one handler, so tests can answer without a
// person. The shell installs the real dialog at start-up.

#include <QString>

#include <functional>

enum class TMsgType { Warning, Error, Information, Confirmation };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

using TMessageHandler = std::function<TMsgResult(TMsgType, TMsgButtons, const QString& text)>;

// An empty handler restores the default, which answers with the first button
// (Ok or Yes) and prints the text on standard error.
void SetMessageHandler(TMessageHandler handler);
TMsgResult MessageDlg(const QString& text, TMsgType type, TMsgButtons buttons);
