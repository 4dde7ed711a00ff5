#include "platform/profile_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {
namespace {

// A writer holds the lock for milliseconds. One that died holding it is recognised by its
// process id at once; one killed before it wrote its id into the lock file leaves a lock that
// only its age can free, so the age limit stays short.
constexpr int staleAfterMs = 2000;
constexpr int waitMs = 5000;

// The user's runtime folder when the session has one; otherwise a folder of the user's own in
// the temporary folder (a service or a CI job has no login session).
QString lockFolder()
{
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    const QString folder = (!runtime.isEmpty() && QFileInfo(runtime).isDir())
                               ? runtime + QStringLiteral("/kesta-terminal-locks")
                               : QDir::tempPath() + QStringLiteral("/kesta-terminal-locks-") +
                                     QString::number(QFileInfo(QDir::homePath()).ownerId());
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    return folder;
}

QString absoluteIdentity(const QString &file)
{
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

} // namespace

QString ProfileLock::lockPathFor(const QString &file)
{
    const QByteArray digest =
        QCryptographicHash::hash(absoluteIdentity(file).toUtf8(), QCryptographicHash::Sha1);
    return lockFolder() + u'/' + QString::fromLatin1(digest.toHex()) + QStringLiteral(".lock");
}

ProfileLock::ProfileLock(const QString &file)
    : m_lock(lockPathFor(file))
{
    m_lock.setStaleLockTime(staleAfterMs);
    m_locked = m_lock.tryLock(waitMs);
}

} // namespace platform
