#pragma once

#include "platform/sound_device.h"
#include "sound/sound_cache.h"
#include "sound/sound_mixer.h"
#include "sound/sound_request.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sound {

// Plays through the system's sound server: files are decoded (through the cache) on a thread of
// the output's own, so a large file never holds the caller, and handed to the mixer that feeds
// the device's one stream. play() with wait false only queues the request and returns.
//
// Threads: the caller's thread queues; the decoding thread owns the cache and reaches the mixer
// only through SoundDevice::play(); the device's thread renders the mixer. The device is
// destroyed before the mixer it renders, and the decoding thread is ended before both.
class DeviceSoundOutput final
{
public:
    DeviceSoundOutput();
    ~DeviceSoundOutput();
    DeviceSoundOutput(const DeviceSoundOutput &) = delete;
    DeviceSoundOutput &operator=(const DeviceSoundOutput &) = delete;

    // As sound::play(). wait true returns when the sound has been heard to its end, or early
    // when it has not begun within about a second (no server yet, or one that does not answer).
    void play(const QString &diskPath, bool overlap, bool wait);

    // hook is called on the device's thread each time a sound's first samples are rendered into
    // the stream, with its path. For measurements and tests.
    void setStartHook(SoundMixer::StartHook hook);

    // Stops every sound and ends both threads. Later plays are silent.
    void shutdown();

private:
    void decodeRequests();
    void playBatch(std::vector<SoundRequest> batch);

    SoundCache m_cache; // the decoding thread's alone
    SoundMixer m_mixer;
    const QString m_clientName;
    // Made by the decoding thread with the first sound; set and reset under m_queueMutex.
    std::unique_ptr<platform::SoundDevice> m_device;

    std::mutex m_queueMutex;
    std::condition_variable m_queued;
    std::vector<SoundRequest> m_queue;
    bool m_shutDown = false;
    std::thread m_decoder;
};

// The process's device output, created on first use and shut down when the process exits.
DeviceSoundOutput &deviceSoundOutput();

} // namespace sound
