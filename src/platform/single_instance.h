#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace platform {

// One running console per user. The first start holds a lock file and listens on a local socket,
// both in the user's runtime folder (QStandardPaths::RuntimeLocation); a later start finds the
// lock taken and asks the holder, through the socket, to come to the front. The lock is the
// kernel's, held on the open lock file: it ends with its holder however it ends, so a console
// that died never keeps the next one from starting.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // `name` names the lock file (name + ".lock") and the socket (name + ".socket").
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process holds the claim now (also when it already did). False when another
    // living process holds it. When the runtime folder cannot be used at all the guard cannot
    // work; claim() then warns and returns true, because refusing to start is the worse failure.
    [[nodiscard]] bool claim();

    // Asks the holder of the claim to come to the front; waits up to about two seconds for it to
    // start listening. False when it could not be reached.
    bool activateRunning();

    // Stops listening and gives the claim up. Safe to call when nothing is held.
    void release();

    bool isClaimed() const { return m_claimed; }

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    void listen();
    void acceptConnections();

    QString m_lockPath;
    QString m_socketPath;
    int m_lock = -1;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_claimed = false;
};

} // namespace platform
