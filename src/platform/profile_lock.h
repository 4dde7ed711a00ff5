#pragma once

#include <QLockFile>
#include <QString>

namespace platform {

// The lock every process of the user takes before it changes a profile file. The lock file
// lives in the user's runtime folder, named after the file's absolute path, so the shell and
// theme authors never see it beside their files.
class ProfileLock
{
public:
    explicit ProfileLock(const QString &file);
    bool isLocked() const { return m_locked; }

    // Where the lock of a file lives.
    static QString lockPathFor(const QString &file);

private:
    QLockFile m_lock;
    bool m_locked = false;
};

} // namespace platform
