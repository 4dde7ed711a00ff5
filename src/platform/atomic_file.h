#pragma once

#include "platform/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// A file's content together with the stamp it had when it was read.
struct FileVersion
{
    QByteArray bytes;
    FileStamp stamp;
};

struct Replacement
{
    enum Outcome
    {
        Written,
        Stale, // the file is no longer the version read: nothing was written
        Failed
    } outcome = Failed;
    QString error;
    std::optional<FileStamp> written; // the file as this write left it
};

// Puts bytes in place of the file at path (a resolved path, see resolvedFile), provided it is
// still the version read (std::nullopt: there was no file, and there must still be none). Only
// for a caller that holds the file's write lock, and for a file that is the user's to change
// (whyNotOurs).
//
// The bytes go to a new file beside it, are checked to be on disk in full, and only then take
// the file's name (keeping its permissions and group), and the folder is flushed, so every
// reader and every process that dies meanwhile sees the old file or the new one whole, even
// after a power cut. Where that would cut the file off from other names it has (hard links) or
// from its group, or where the folder takes no new file, the file is written in place, as safely
// as that allows: space is reserved first, only the bytes that differ are written, then flushed.
// When anything fails, the old file is untouched (in place: as far as a full disk allows).
// A new file gets newFileMode, less what the umask takes away.
[[nodiscard]] Replacement replaceFile(const QString &path, const std::optional<FileVersion> &read,
                                      const QByteArray &bytes, int newFileMode = 0666);

// Why the file a stamp describes is not this user's to change, or empty when it is: another
// user's file would become ours, and a read-only mark is its owner's word.
QString whyNotOurs(const FileStamp &stamp);

// Removes what writers of path that died before their rename left beside the file; a new file
// that a live writer still holds is kept.
void removeAbandonedReplacements(const QString &path);

} // namespace platform
