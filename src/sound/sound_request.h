#pragma once

#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <memory>

namespace sound {

// What a caller that asked to wait blocks on while the output's thread plays its sound.
class SoundTicket
{
public:
    // The sound reached the device and will last about durationMs.
    void markStarted(qint64 durationMs);
    // The sound has ended, was stopped, or will never play. Later calls change nothing.
    void markEnded();

    // Blocks until the sound has ended. Gives up when the sound has not begun within
    // StartTimeoutMs (a device that is still opening or a hung sound server) or has not ended
    // within its duration plus EndSlackMs, so a waiting caller is never held without bound.
    // Returns true when the sound was seen to end.
    bool waitForEnd();

    static constexpr qint64 StartTimeoutMs = 1000;
    static constexpr qint64 EndSlackMs = 1000;

private:
    enum class State
    {
        Queued,
        Playing,
        Ended
    };

    QMutex m_mutex;
    QWaitCondition m_changed;
    State m_state = State::Queued;
    qint64 m_durationMs = 0;
};

struct SoundRequest
{
    QString diskPath;
    bool overlap = false;
    std::shared_ptr<SoundTicket> ticket; // set when the caller waits
};

} // namespace sound
