#include "sound_request.h"

#include <QDeadlineTimer>

namespace sound {

void SoundTicket::markStarted(qint64 durationMs)
{
    QMutexLocker locker(&m_mutex);
    if (m_state != State::Queued)
        return;
    m_state = State::Playing;
    m_durationMs = durationMs;
    m_changed.wakeAll();
}

void SoundTicket::markEnded()
{
    QMutexLocker locker(&m_mutex);
    m_state = State::Ended;
    m_changed.wakeAll();
}

bool SoundTicket::waitForEnd()
{
    QMutexLocker locker(&m_mutex);
    QDeadlineTimer startDeadline(StartTimeoutMs);
    while (m_state == State::Queued) {
        if (!m_changed.wait(&m_mutex, startDeadline))
            return false;
    }
    QDeadlineTimer endDeadline(m_durationMs + EndSlackMs);
    while (m_state == State::Playing) {
        if (!m_changed.wait(&m_mutex, endDeadline))
            return false;
    }
    return true;
}

} // namespace sound
