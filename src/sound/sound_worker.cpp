#include "sound_worker.h"

#include "sound/sound_voice.h"

#include <QMediaDevices>

namespace sound {

namespace {

void end(const std::shared_ptr<SoundTicket> &ticket)
{
    if (ticket)
        ticket->markEnded();
}

} // namespace

SoundWorker::SoundWorker(std::function<void()> deviceReached)
    : m_deviceReached(std::move(deviceReached))
{}

SoundWorker::~SoundWorker()
{
    stopAll();
}

void SoundWorker::playRequests(std::vector<SoundRequest> batch)
{
    size_t first = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        if (!batch[i].overlap)
            first = i;
    }
    for (size_t i = 0; i < first; ++i)
        end(batch[i].ticket);
    for (size_t i = first; i < batch.size(); ++i) {
        if (!batch[i].overlap)
            stopAll();
        start(batch[i]);
    }
}

void SoundWorker::stopAll()
{
    // Moved out first: stopping a sink can deliver its last state change, and the handler must
    // not find the list half torn down.
    std::vector<Playing> stopping = std::move(m_playing);
    m_playing.clear();
    for (Playing &playing : stopping) {
        playing.voice->stop();
        end(playing.ticket);
    }
}

void SoundWorker::start(const SoundRequest &request)
{
    const std::shared_ptr<const DecodedSound> sound = m_cache.sound(request.diskPath);
    if (!sound) {
        end(request.ticket);
        return;
    }

    // The first call opens the connection to the sound server. It may take long or never
    // return when the server hangs; that is why it happens here and not on the caller's thread.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (m_deviceReached)
        std::exchange(m_deviceReached, nullptr)();
    if (device.isNull()) {
        end(request.ticket);
        return;
    }

    if (m_playing.size() >= MaxVoices) {
        m_playing.front().voice->stop();
        end(m_playing.front().ticket);
        m_playing.erase(m_playing.begin());
    }

    const std::shared_ptr<SoundTicket> ticket = request.ticket;
    const qint64 durationMs = sound->durationMs();
    SoundVoice::Callbacks callbacks;
    callbacks.firstSamples = [this, ticket, durationMs, path = request.diskPath] {
        if (ticket)
            ticket->markStarted(durationMs);
        if (m_startHook)
            m_startHook(path);
    };
    callbacks.ended = [this, ticket] {
        end(ticket);
        // This runs inside a call from the voice's own sink; the voice goes once that returned.
        if (!std::exchange(m_removalQueued, true))
            QMetaObject::invokeMethod(this, &SoundWorker::removeEnded, Qt::QueuedConnection);
    };
    std::unique_ptr<SoundVoice> voice = SoundVoice::start(device, *sound, std::move(callbacks));
    if (!voice) {
        end(ticket);
        return;
    }
    m_playing.push_back(Playing{std::move(voice), ticket});
}

void SoundWorker::removeEnded()
{
    m_removalQueued = false;
    std::erase_if(m_playing, [](const Playing &playing) { return playing.voice->hasEnded(); });
}

} // namespace sound
