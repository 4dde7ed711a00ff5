#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts commandLine as a program of its own, the way a dialog button starts its command.
// There is no shell: the text is split into words as a shell would split them (blanks separate
// words, double quotes group a word with blanks, a backslash is an ordinary character, three
// double quotes stand for one literal quote) and nothing else is interpreted, so "$HOME", ">"
// or ";" reach the program as they are written. The first word is the program: a path (with "/"
// or "\" in it) is mapped to this disk as stored paths are, matching a name without regard to
// case where the exact one is missing; a bare name is looked up on PATH. The program runs
// detached from the console, in its own normal windows, in the console's current folder.
//
// True when the program started. False for a command line without a program and for a program
// that cannot be started; nothing is shown to the user either way.
bool startProgram(const QString &commandLine);

// Starts program (a path on this disk, or a bare name looked up on PATH) with arguments already
// split, detached, in workingFolder (a stored or native path; the console's current folder when
// empty). Nothing is interpreted. True when it started; false otherwise, silently.
bool startProgram(const QString &program, const QStringList &arguments,
                  const QString &workingFolder);

} // namespace platform
