#include "platform/single_instance.h"

#include "platform/platform_log.h"
#include "platform/preview_mode.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

QString runtimeFolder()
{
    // Qt falls back to a private folder of its own (and warns) when XDG_RUNTIME_DIR is unset.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

// The socket's address; false when the path does not fit one.
bool socketAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(runtimeFolder()).filePath(name + QStringLiteral(".lock")))
    , m_socketPath(QDir(runtimeFolder()).filePath(name + QStringLiteral(".socket")))
{}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::claim()
{
    if (m_claimed)
        return true;
    // A preview runs beside the console it previews for, and never asks it forward.
    if (previewMode())
        return true;
    const int lock = ::open(QFile::encodeName(m_lockPath).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock < 0) {
        qCWarning(lcPlatform, "single instance: cannot create %s: %s; starting unguarded",
                  qPrintable(m_lockPath), std::strerror(errno));
        return true;
    }
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(lock);
        if (held)
            return false;
        qCWarning(lcPlatform, "single instance: cannot lock %s; starting unguarded",
                  qPrintable(m_lockPath));
        return true;
    }
    m_lock = lock;
    m_claimed = true;
    listen();
    return true;
}

void SingleInstance::listen()
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address)) {
        qCWarning(lcPlatform, "single instance: the path %s is too long for a socket",
                  qPrintable(m_socketPath));
        return;
    }
    // Holding the lock makes any socket file left by a holder that died ours to replace.
    ::unlink(address.sun_path);
    m_listener = newSocket();
    // Only the user may connect: the runtime folder is private, and the socket is made so too.
    const bool bound =
        m_listener >= 0 &&
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
        ::chmod(address.sun_path, 0600) == 0 && ::listen(m_listener, 8) == 0;
    if (!bound) {
        qCWarning(lcPlatform, "single instance: cannot listen on %s: %s", qPrintable(m_socketPath),
                  std::strerror(errno));
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return;
    }
    ::fcntl(m_listener, F_SETFL, ::fcntl(m_listener, F_GETFL) | O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this,
            &SingleInstance::acceptConnections);
}

bool SingleInstance::activateRunning()
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address))
        return false;
    // The holder takes the lock before it listens, so a start at the same moment may have to
    // wait a little for the socket.
    const QDeadlineTimer deadline(2000);
    while (true) {
        const int socket = newSocket();
        if (socket >= 0 &&
            ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0) {
            const bool sent = ::send(socket, "activate\n", 9, MSG_NOSIGNAL) == 9;
            ::close(socket);
            return sent;
        }
        if (socket >= 0)
            ::close(socket);
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}

void SingleInstance::release()
{
    m_notifier.reset();
    if (m_listener >= 0) {
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_socketPath).constData());
        m_listener = -1;
    }
    // The lock file stays: removing it could split the lock between a process that opened the
    // old file and one that creates a new one.
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
    m_claimed = false;
}

void SingleInstance::acceptConnections()
{
    // Only the same user can reach the socket; any connection is a request to come forward.
    int connection;
    while ((connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        ::close(connection);
        emit activationRequested();
    }
}

} // namespace platform
