#pragma once

#include "platform/file_stamp.h"

#include <QString>

#include <optional>

namespace platform {

// The lock every process of the user takes before it changes a profile file, the shell included
// (README: "The shared stores"). There is one lock per file, whatever name a writer reaches the
// file by and whatever its environment says, so any two writers of one user meet:
// - its name is the SHA-1, in hex, of the file's fully resolved path (no link left in it), as
//   the bytes of the path on disk, with ".flock" added;
// - its folder is "kesta-terminal-locks" in /run/user/UID when that folder exists and is the
//   user's private one, else in the ".cache" folder of the home folder that the password
//   database gives the user. No environment variable moves it: two writers that read different
//   ones would hold different locks.
// The folder is used only when it is a real folder (no symbolic link) that the user owns and
// nobody else may write to; otherwise another user could take the lock names first, and the lock
// fails at once with that reason.
//
// The lock is the kernel's (flock), held on the open lock file: it ends when its holder ends,
// however it ends, and never before. So a writer that died never blocks the next one, and a slow
// writer is never taken for a dead one. The lock files stay in the folder for the next writer;
// each holds the stamp of the file as the last writer that held the lock left it.
class ProfileLock
{
public:
    // Waits up to 10 s for a lock another process holds.
    explicit ProfileLock(const QString &resolvedFile);
    ~ProfileLock();
    ProfileLock(const ProfileLock &) = delete;
    ProfileLock &operator=(const ProfileLock &) = delete;

    bool isLocked() const { return m_handle >= 0; }
    // Why the lock was not taken.
    const QString &error() const { return m_error; }

    // The file as the last holder of this lock left it; nothing when no holder said so.
    std::optional<FileStamp> lastWritten() const;
    // Says how this holder leaves the file (nothing: gone).
    void recordWritten(const std::optional<FileStamp> &stamp) const;

    // Where the lock of the file is; empty, with the reason in error, when its folder is unfit.
    static QString pathFor(const QString &resolvedFile, QString *error = nullptr);

private:
    int m_handle = -1;
    QString m_error;
};

} // namespace platform
