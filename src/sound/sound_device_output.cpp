#include "sound_device_output.h"

#include <QCoreApplication>

namespace sound {

namespace {

void end(const std::shared_ptr<SoundTicket> &ticket)
{
    if (ticket)
        ticket->markEnded();
}

// How the sound server lists the console.
QString clientName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("kesta") : name;
}

} // namespace

DeviceSoundOutput::DeviceSoundOutput()
    : m_clientName(clientName())
    , m_decoder([this] { decodeRequests(); })
{}

DeviceSoundOutput::~DeviceSoundOutput()
{
    shutdown();
}

void DeviceSoundOutput::play(const QString &diskPath, bool overlap, bool wait)
{
    SoundRequest request{diskPath, overlap, wait ? std::make_shared<SoundTicket>() : nullptr};
    const std::shared_ptr<SoundTicket> ticket = request.ticket;
    {
        std::lock_guard locker(m_queueMutex);
        if (m_shutDown)
            return;
        m_queue.push_back(std::move(request));
    }
    m_queued.notify_one();
    if (ticket)
        ticket->waitForEnd();
}

void DeviceSoundOutput::setStartHook(SoundMixer::StartHook hook)
{
    std::lock_guard locker(m_queueMutex);
    if (m_device)
        m_device->play([&] { m_mixer.setStartHook(std::move(hook)); });
    else // nothing renders the mixer before the device exists
        m_mixer.setStartHook(std::move(hook));
}

void DeviceSoundOutput::shutdown()
{
    {
        std::lock_guard locker(m_queueMutex);
        if (std::exchange(m_shutDown, true))
            return;
    }
    m_queued.notify_one();
    m_decoder.join();
    // Ends the device's thread: nothing renders the mixer after this.
    std::lock_guard locker(m_queueMutex);
    m_device.reset();
    m_mixer.stopAll();
}

void DeviceSoundOutput::decodeRequests()
{
    for (;;) {
        std::vector<SoundRequest> batch;
        {
            std::unique_lock locker(m_queueMutex);
            m_queued.wait(locker, [this] { return m_shutDown || !m_queue.empty(); });
            // Requests that arrived while the last batch was decoded play as one batch, so a
            // backlog is not played as a burst of sounds.
            batch.swap(m_queue);
            if (m_shutDown) {
                for (const SoundRequest &request : batch)
                    end(request.ticket);
                return;
            }
        }
        playBatch(std::move(batch));
    }
}

void DeviceSoundOutput::playBatch(std::vector<SoundRequest> batch)
{
    // A replacing request would stop the replacing requests before it in the batch the instant
    // they began, so they are not started at all; overlapping ones are.
    size_t lastReplacing = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        if (!batch[i].overlap)
            lastReplacing = i;
    }
    std::vector<std::pair<SoundRequest, std::shared_ptr<const DecodedSound>>> ready;
    for (size_t i = 0; i < batch.size(); ++i) {
        if (!batch[i].overlap && i < lastReplacing)
            end(batch[i].ticket);
        else
            ready.emplace_back(batch[i], m_cache.sound(batch[i].diskPath));
    }
    {
        // Made with the first sound, on this thread, so that the sound server's library is
        // loaded then and not when the console starts.
        std::lock_guard locker(m_queueMutex);
        if (!m_device)
            m_device = std::make_unique<platform::SoundDevice>(m_mixer, m_clientName);
    }
    m_device->play([&] {
        for (auto &[request, sound] : ready)
            m_mixer.add(std::move(sound), request);
    });
}

DeviceSoundOutput &deviceSoundOutput()
{
    static DeviceSoundOutput output;
    return output;
}

} // namespace sound
