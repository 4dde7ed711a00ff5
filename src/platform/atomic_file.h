#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with bytes so that every reader, and every process that dies
// meanwhile, sees either the old file or the new one whole. The bytes go to a new file beside
// it, are checked to be on disk in full, and only then take the old file's name (keeping its
// permissions; a symbolic link keeps pointing at the file it named). False, with the reason, when
// anything fails; the old file is then untouched.
[[nodiscard]] bool replaceFileAtomically(const QString &path, const QByteArray &bytes,
                                         QString *error);

// Removes what a writer of path that died before its rename left beside the file. Only for a
// caller that holds the file's write lock, so that no live writer's new file is taken.
void removeAbandonedReplacements(const QString &path);

} // namespace platform
