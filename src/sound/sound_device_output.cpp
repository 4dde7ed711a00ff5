#include "sound_device_output.h"

#include "sound/sound_worker.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdlib>
#include <mutex>

namespace sound {

namespace {

constexpr unsigned long ShutdownWaitMs = 500;

QMutex liveMutex;
std::vector<DeviceSoundOutput *> liveOutputs;

void shutDownLiveOutputs()
{
    std::vector<DeviceSoundOutput *> outputs;
    {
        QMutexLocker locker(&liveMutex);
        outputs = liveOutputs;
    }
    for (DeviceSoundOutput *output : outputs)
        output->shutdown();
}

// Qt Multimedia keeps its connection to the sound server in objects that are destroyed with the
// application object and at process exit. Sounds must be stopped and the output threads ended
// before that, so the shutdown is registered once the audio system has first been reached:
// post routines and exit handlers run in the reverse order of their registration.
void registerShutdown()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qAddPostRoutine(shutDownLiveOutputs);
        std::atexit(shutDownLiveOutputs);
    });
}

} // namespace

DeviceSoundOutput::DeviceSoundOutput()
    : m_thread(new QThread)
{
    m_thread->setObjectName(QStringLiteral("sound output"));
    {
        QMutexLocker locker(&liveMutex);
        liveOutputs.push_back(this);
    }
    m_worker = new SoundWorker(registerShutdown);
    m_worker->moveToThread(m_thread);
    m_thread->start();
}

DeviceSoundOutput::~DeviceSoundOutput()
{
    shutdown();
    QMutexLocker locker(&liveMutex);
    std::erase(liveOutputs, this);
}

void DeviceSoundOutput::play(const QString &diskPath, bool overlap, bool wait)
{
    if (m_shutDown)
        return;
    SoundRequest request{diskPath, overlap, wait ? std::make_shared<SoundTicket>() : nullptr};
    const std::shared_ptr<SoundTicket> ticket = request.ticket;
    bool first = false;
    {
        QMutexLocker locker(&m_pending->mutex);
        first = m_pending->requests.empty();
        m_pending->requests.push_back(std::move(request));
    }
    // Requests that arrive while the thread is busy (or held by the server) join the batch
    // already queued, so a backlog is played as one batch instead of a burst of sounds.
    if (first) {
        QMetaObject::invokeMethod(
            m_worker,
            [worker = m_worker, pending = m_pending] {
                std::vector<SoundRequest> batch;
                {
                    QMutexLocker locker(&pending->mutex);
                    batch.swap(pending->requests);
                }
                worker->playRequests(std::move(batch));
            },
            Qt::QueuedConnection);
    }
    if (ticket)
        ticket->waitForEnd();
}

void DeviceSoundOutput::setStartHook(std::function<void(const QString &diskPath)> hook)
{
    if (m_shutDown)
        return;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, hook = std::move(hook)] { worker->setStartHook(hook); },
        Qt::QueuedConnection);
}

void DeviceSoundOutput::shutdown()
{
    if (m_shutDown.exchange(true))
        return;
    QMetaObject::invokeMethod(m_worker, &SoundWorker::stopAll, Qt::QueuedConnection);
    m_worker->deleteLater();
    m_thread->quit();
    if (m_thread->wait(ShutdownWaitMs)) {
        delete m_thread;
    } else {
        // Destroying a running QThread aborts the process; the thread is stuck inside the sound
        // server's client library and ends with the process.
        m_thread = nullptr;
    }
    m_worker = nullptr;
}

DeviceSoundOutput &deviceSoundOutput()
{
    // Never deleted: its thread is ended by the registered shutdown, while a static destructor
    // would run after the audio system's own objects are gone.
    static DeviceSoundOutput *output = new DeviceSoundOutput;
    return *output;
}

} // namespace sound
