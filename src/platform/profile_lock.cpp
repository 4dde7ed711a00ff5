#include "platform/profile_lock.h"

#include "platform/private_folder.h"
#include "platform/system_error.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int waitMs = 10000;

// The home folder of the user this process runs as, from the password database.
QString homeOfUser()
{
    struct passwd entry = {};
    struct passwd *found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return {};
    return QFile::decodeName(found->pw_dir);
}

struct LockFolder
{
    QString path;
    QString error; // set when the folder cannot be used
};

// The folder is checked before each use; it is created only when it is missing.
LockFolder lockFolder()
{
    QString base = QStringLiteral("/run/user/") + QString::number(::geteuid());
    const bool inRuntime = whyNotPrivate(base).isEmpty();
    if (!inRuntime) {
        static const QString home = homeOfUser();
        if (home.isEmpty())
            return {{}, QStringLiteral("the user has no home folder in the password database")};
        base = home + QStringLiteral("/.cache");
    }
    const QString folder = base + QStringLiteral("/kesta-terminal-locks");
    QString why = whyNotPrivate(folder);
    if (!why.isEmpty() && !QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink()) {
        if (why = inRuntime ? QString() : createPrivateFolders(base); !why.isEmpty())
            return {{}, why};
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return {{},
                    QStringLiteral("cannot create the lock folder %1: %2")
                        .arg(folder, systemError(errno))};
        why = whyNotPrivate(folder);
    }
    if (!why.isEmpty())
        return {{}, QStringLiteral("the lock folder %1 %2").arg(folder, why)};
    return {folder, {}};
}

} // namespace

QString ProfileLock::pathFor(const QString &resolvedFile, QString *error)
{
    const LockFolder folder = lockFolder();
    if (error)
        *error = folder.error;
    if (!folder.error.isEmpty())
        return {};
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(resolvedFile), QCryptographicHash::Sha1);
    return folder.path + u'/' + QString::fromLatin1(digest.toHex()) + QStringLiteral(".flock");
}

ProfileLock::ProfileLock(const QString &resolvedFile)
{
    const QString path = pathFor(resolvedFile, &m_error);
    if (path.isEmpty())
        return;
    const int handle = ::open(QFile::encodeName(path).constData(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle < 0) {
        m_error = QStringLiteral("cannot open the lock file %1: %2").arg(path, systemError(errno));
        return;
    }
    // Short, jittered polls find the gaps between the writes of another process that writes key
    // after key; a blocking wait could not give up after the deadline.
    const QDeadlineTimer deadline(waitMs);
    while (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_error = QStringLiteral("cannot lock %1: %2").arg(path, systemError(errno));
        } else if (deadline.hasExpired()) {
            m_error = QStringLiteral("the file stays locked by another process");
        } else {
            QThread::usleep(1000 + QRandomGenerator::global()->bounded(3000));
            continue;
        }
        ::close(handle);
        return;
    }
    m_handle = handle;
}

ProfileLock::~ProfileLock()
{
    if (m_handle >= 0)
        ::close(m_handle); // closing the last descriptor of the file releases the lock
}

std::optional<FileStamp> ProfileLock::lastWritten() const
{
    char text[256];
    const ssize_t size = m_handle >= 0 ? ::pread(m_handle, text, sizeof text, 0) : -1;
    return size > 0 ? FileStamp::fromText(QByteArrayView(text, size)) : std::nullopt;
}

void ProfileLock::recordWritten(const std::optional<FileStamp> &stamp) const
{
    if (m_handle < 0)
        return;
    const QByteArray text = stamp ? stamp->toText() : QByteArray();
    if (::pwrite(m_handle, text.constData(), text.size(), 0) != text.size() ||
        ::ftruncate(m_handle, text.size()) != 0)
        (void)::ftruncate(m_handle, 0); // no record rather than a wrong one
}

} // namespace platform
