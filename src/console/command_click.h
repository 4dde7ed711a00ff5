#pragma once

#include <QString>

namespace console {
class ConsoleView;
}

// A click on the console's image button imgBut(index): a protected button (IsProtectedButton)
// first passes the password gate, and a refused password ends the click without a sound; then
// the button's click sound plays and its command runs. Nothing for an index out of range.
void OnCommandButtonClick(console::ConsoleView &console, int index);

// Runs a button command: the upper-cased command equal to a keyword runs the console's own
// operation (PASSWORD, CHANGECOMMAND, CHANGESECURITY, CHANGETHEME, CHANGESOUNDOVER,
// CHANGESOUNDCLICK, CHANGEVOICECONTROL, CHANGEDEFAULT, QUIT), compared exactly, without
// trimming; any other command goes to OpenCommand as written.
void RunCommand(console::ConsoleView &console, const QString &command);

// Whether program, blanks trimmed and in any letter case, is one of the keywords above: a text
// that must never become the program of one of the console's own buttons through an editor.
[[nodiscard]] bool IsConsoleCommand(const QString &program);

// The words a screen reader says for a keyword command ("Change password" for PASSWORD,
// "Protect" for CHANGESECURITY ...), matched as RunCommand matches it; empty for any other
// command.
QString CommandWords(const QString &command);
