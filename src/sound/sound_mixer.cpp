#include "sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

void end(const std::shared_ptr<SoundTicket> &ticket)
{
    if (ticket)
        ticket->markEnded();
}

} // namespace

SoundMixer::~SoundMixer()
{
    stopAll();
}

void SoundMixer::add(std::shared_ptr<const DecodedSound> sound, const SoundRequest &request)
{
    if (!request.overlap) {
        std::erase_if(m_voices, [](const Playing &playing) {
            if (playing.request.overlap)
                return false;
            end(playing.request.ticket);
            return true;
        });
    }
    if (!sound) {
        end(request.ticket);
        return;
    }
    if (m_voices.size() >= MaxVoices) {
        end(m_voices.front().request.ticket);
        m_voices.erase(m_voices.begin());
    }
    m_voices.push_back(Playing{SoundVoice(std::move(sound)), request});
}

void SoundMixer::stopAll()
{
    for (const Playing &playing : std::exchange(m_voices, {}))
        end(playing.request.ticket);
    for (const Tail &tail : std::exchange(m_tails, {}))
        end(tail.ticket);
}

void SoundMixer::streamOpened(const platform::SoundStreamFormat &format)
{
    // Sounds added while the stream was opening play now; their places count from here.
    for (const Tail &tail : std::exchange(m_tails, {}))
        end(tail.ticket);
    m_format = format;
    m_rendered = 0;
    m_quietFrom = 0;
}

bool SoundMixer::render(float *samples, qint64 frames)
{
    std::fill(samples, samples + frames * platform::SoundDevice::ChannelCount, 0.0f);
    bool audible = false;
    for (Playing &playing : m_voices) {
        const qint64 mixed = playing.voice.mixInto(samples, frames, m_format.sampleRate);
        if (mixed > 0) {
            audible = true;
            startPlaying(playing);
        }
        if (playing.voice.hasEnded(m_format.sampleRate))
            m_tails.push_back({playing.request.ticket, m_rendered + mixed + m_format.bufferFrames});
    }
    std::erase_if(m_voices, [this](const Playing &playing) {
        return playing.voice.hasEnded(m_format.sampleRate);
    });
    // Sixteen loud sounds add up past full scale, and a broken float file may hold NaN.
    for (float *sample = samples; sample < samples + frames * platform::SoundDevice::ChannelCount;
         ++sample)
        *sample = std::isnan(*sample) ? 0.0f : std::clamp(*sample, -1.0f, 1.0f);

    m_rendered += frames;
    // Pausing the stream while a sound's end is still buffered would hold that end back until
    // the next sound; twice the buffer leaves room for the sink's own share of the latency.
    if (audible)
        m_quietFrom = m_rendered + 2 * m_format.bufferFrames;
    endHeardTails();
    return !m_voices.empty() || m_rendered < m_quietFrom;
}

void SoundMixer::startPlaying(Playing &playing)
{
    if (std::exchange(playing.started, true))
        return;
    if (playing.request.ticket)
        playing.request.ticket->markStarted(playing.voice.durationMs());
    if (m_startHook)
        m_startHook(playing.request.diskPath);
}

void SoundMixer::endHeardTails()
{
    std::erase_if(m_tails, [this](const Tail &tail) {
        if (tail.heardAt > m_rendered)
            return false;
        end(tail.ticket);
        return true;
    });
}

} // namespace sound
