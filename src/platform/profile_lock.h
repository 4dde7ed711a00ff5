#pragma once

#include <QString>

namespace platform {

// The lock every process of the user takes before it changes a profile file. The lock file
// lives in a folder of the user's own, named after the file's absolute path, so the shell and
// theme authors never see it beside their files: "kesta-terminal-locks" in the user's runtime
// folder, or without one (or with one that is not private) in the user's cache folder
// ($XDG_CACHE_HOME, ~/.cache by default). The folder is used only when it is a real folder
// (no symbolic link) that the user owns and nobody else may write to; otherwise another user
// could take the lock names first, and the lock fails at once with that reason.
//
// The lock is the kernel's, held on the open lock file: it ends when its holder ends, however it
// ends, and never before. So a writer that died never blocks the next one, and a slow writer is
// never taken for a dead one. The lock files stay in the folder, empty, for the next writer.
class ProfileLock
{
public:
    // Waits up to 10 s for a lock another process holds.
    explicit ProfileLock(const QString &file);
    ~ProfileLock();
    ProfileLock(const ProfileLock &) = delete;
    ProfileLock &operator=(const ProfileLock &) = delete;

    bool isLocked() const { return m_handle >= 0; }
    // Why the lock was not taken.
    const QString &error() const { return m_error; }

private:
    int m_handle = -1;
    QString m_error;
};

} // namespace platform
