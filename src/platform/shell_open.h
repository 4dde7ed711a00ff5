#pragma once

#include <QString>

namespace platform {

// Opens file the way the desktop opens what a person double-clicks, for button commands that
// name a program, a document, a folder or an address:
// - a file that is an executable program starts with parameters split into words as a shell
//   would split them (platform::startProgram, no shell), in workingFolder. The file is taken as
//   given (a stored path with "\" or "/", relative ones from workingFolder, case mapped as
//   stored paths are) or, as a bare name, from PATH first and then from workingFolder;
// - any other existing file or folder, and an address with a scheme of two letters or more
//   ("https://...", "mailto:..."), goes to the desktop's default application
//   (services().openWithDesktop); parameters do not reach it.
// An executable that will not start (a document that merely carries the executable bit, as on
// a mounted Windows disk) goes to the default application too. True when something was started
// or handed on; false for an empty or missing file and for every failure. Nothing is shown.
bool shellOpen(const QString &file, const QString &parameters, const QString &workingFolder);

} // namespace platform
