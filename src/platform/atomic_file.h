#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces the file at path with bytes so that every reader, and every process that dies
// meanwhile, sees either the old file or the new one whole. The bytes go to a new file beside
// it, are checked to be on disk in full, and only then take the old file's name (keeping its
// permissions; a symbolic link keeps pointing at the file it named). False, with the reason, when
// anything fails; the old file is then untouched.
bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error);

} // namespace platform
