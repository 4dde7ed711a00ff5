#include "platform/single_instance.h"

#include "platform/platform_log.h"
#include "platform/preview_mode.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace platform {
namespace {

QString runtimeFolder()
{
    // Qt falls back to a private folder of its own (and warns) when XDG_RUNTIME_DIR is unset.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(runtimeFolder()).filePath(name + QStringLiteral(".lock")))
    , m_socketPath(QDir(runtimeFolder()).filePath(name + QStringLiteral(".socket")))
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

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
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Never stale by age: a console runs for days. A lock left by a process that died is
    // recognised by its process id and taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return false;
        qCWarning(lcPlatform, "single instance: cannot create %s; starting unguarded",
                  qPrintable(m_lockPath));
        return true;
    }
    m_claimed = true;
    // Holding the lock makes any socket file left by a crashed holder ours to replace.
    QLocalServer::removeServer(m_socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_socketPath))
        qCWarning(lcPlatform, "single instance: cannot listen on %s: %s", qPrintable(m_socketPath),
                  qPrintable(m_server.errorString()));
    return true;
}

bool SingleInstance::activateRunning()
{
    // The holder takes the lock before it listens, so a start at the same moment may have to
    // wait a little for the socket.
    const QDeadlineTimer deadline(2000);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(m_socketPath, QIODevice::WriteOnly);
        if (socket.waitForConnected(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    socket.write("activate\n");
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::release()
{
    m_server.close();
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
    m_claimed = false;
}

void SingleInstance::acceptConnections()
{
    // Only the same user can reach the socket; any connection is a request to come forward.
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        socket->disconnectFromServer();
        socket->deleteLater();
        emit activationRequested();
    }
}

} // namespace platform
