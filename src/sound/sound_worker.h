#pragma once

#include "sound/sound_cache.h"
#include "sound/sound_request.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace sound {

class SoundVoice;

// The side of the device output that runs on its own thread: decodes (through the cache),
// finds the device and keeps the sounds that are playing. Every member function runs on that
// thread, reached through queued calls.
class SoundWorker final : public QObject
{
public:
    using StartHook = std::function<void(const QString &diskPath)>;

    // deviceReached is called on this thread after the audio system was first asked for its
    // device, whatever the answer.
    explicit SoundWorker(std::function<void()> deviceReached);
    ~SoundWorker() override;

    // Plays a batch of requests that queued up together. A request that replaces (overlap
    // false) makes every earlier request in the batch moot: it would stop them the instant they
    // began, so they are not started at all.
    void playRequests(std::vector<SoundRequest> batch);
    void stopAll();
    void setStartHook(StartHook hook) { m_startHook = std::move(hook); }

    // At most this many sounds play at once; starting another stops the oldest.
    static constexpr size_t MaxVoices = 16;

private:
    struct Playing
    {
        std::unique_ptr<SoundVoice> voice;
        std::shared_ptr<SoundTicket> ticket;
    };

    void start(const SoundRequest &request);
    void removeEnded();

    SoundCache m_cache;
    std::vector<Playing> m_playing;
    StartHook m_startHook;
    std::function<void()> m_deviceReached;
    bool m_removalQueued = false;
};

} // namespace sound
