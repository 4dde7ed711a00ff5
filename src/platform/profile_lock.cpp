#include "platform/profile_lock.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

namespace platform {
namespace {

// A writer holds the lock for milliseconds. One that died holding it is recognised by its
// process id at once; one killed before it wrote its id into the lock file leaves a lock that
// only its age can free, so the age limit stays short.
constexpr int staleAfterMs = 2000;
constexpr int waitMs = 10000;

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
    // QLockFile's own waiting backs off to sleeps of seconds, so a waiter can starve while
    // another process writes key after key. Short, jittered polls find the gaps between them.
    const QDeadlineTimer deadline(waitMs);
    while (!(m_locked = m_lock.tryLock(0)) && !deadline.hasExpired())
        QThread::usleep(1000 + QRandomGenerator::global()->bounded(3000));
}

} // namespace platform
