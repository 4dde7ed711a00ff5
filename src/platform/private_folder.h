#pragma once

#include <QString>

namespace platform {

// Folders that hold what is the user's alone (the write locks, the settings store with its
// password). Another user who could create, replace or point such a folder elsewhere could take
// the locks first or put his own store in place, so each is checked before each use.

// Empty when path is a folder, not a link to one, that the user owns and nobody else may write
// to; otherwise what is wrong with it.
QString whyNotPrivate(const QString &path);

// Creates path and every missing folder above it with mode 0700, whatever the umask; empty, or
// why a folder could not be created. Existing folders are left as they are.
QString createPrivateFolders(const QString &path);

} // namespace platform
