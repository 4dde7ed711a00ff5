#pragma once

#include "sound/sound_output.h"
#include "sound/sound_request.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace sound {

class SoundWorker;

// Plays through the default output of the system's sound server. Everything that can take time
// (decoding, finding the device, opening a stream) happens on a thread of the output's own, so
// a sound server that is missing, slow or hung never holds the caller: play() with wait false
// only queues the request and returns.
class DeviceSoundOutput final : public SoundOutput
{
public:
    DeviceSoundOutput();
    ~DeviceSoundOutput() override;
    DeviceSoundOutput(const DeviceSoundOutput &) = delete;
    DeviceSoundOutput &operator=(const DeviceSoundOutput &) = delete;

    // wait true returns when the sound has ended, or early when it has not begun within about a
    // second (the device is still opening or the server does not answer); the sound still plays
    // if it comes later.
    void play(const QString &diskPath, bool overlap, bool wait) override;

    // hook is called on the output's thread each time a sound hands its first samples to the
    // device, with its path. For measurements and tests; applies to sounds played after it.
    void setStartHook(std::function<void(const QString &diskPath)> hook);

    // Stops every sound and ends the output's thread, waiting for it a moment at most; a thread
    // held by a hung sound server is left to the end of the process. Later plays are silent.
    void shutdown();

private:
    struct Pending
    {
        QMutex mutex;
        std::vector<SoundRequest> requests;
    };

    std::shared_ptr<Pending> m_pending = std::make_shared<Pending>();
    QThread *m_thread = nullptr;
    SoundWorker *m_worker = nullptr;
    std::atomic<bool> m_shutDown = false;
};

// The process's device output, created on first use; its thread is ended when the process
// exits.
DeviceSoundOutput &deviceSoundOutput();

} // namespace sound
