#include "sound_voice.h"

namespace sound {

namespace {

// Catmull-Rom through four neighbouring samples, t between the middle two: smooth enough that
// a tone taken from 8 kHz to 48 kHz stays one tone. At t = 0 it is exactly p1, so a sound at
// the stream's own rate passes through untouched.
float interpolate(float p0, float p1, float p2, float p3, float t)
{
    return p1 +
           0.5f * t *
               (p2 - p0 +
                t * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3 + t * (3.0f * (p1 - p2) + p3 - p0)));
}

} // namespace

SoundVoice::SoundVoice(std::shared_ptr<const DecodedSound> sound)
    : m_sound(std::move(sound))
{}

qint64 SoundVoice::lengthAt(int outputRate) const
{
    const qint64 rate = m_sound->sampleRate;
    return rate > 0 ? (m_sound->frameCount() * outputRate + rate - 1) / rate : 0;
}

SoundVoice::Stereo SoundVoice::frameAt(qint64 index) const
{
    const int channels = m_sound->channelCount;
    if (index < 0 || index >= m_sound->frameCount())
        return {};
    const auto *samples =
        reinterpret_cast<const float *>(m_sound->samples.constData()) + index * channels;
    if (channels == 1)
        return {samples[0], samples[0]};
    if (channels == 2)
        return {samples[0], samples[1]};
    Stereo sum;
    for (int channel = 0; channel < channels; ++channel)
        (channel % 2 ? sum.right : sum.left) += samples[channel];
    const int rights = channels / 2;
    return {sum.left / float(channels - rights), sum.right / float(rights)};
}

qint64 SoundVoice::mixInto(float *out, qint64 frames, int outputRate)
{
    const qint64 rate = m_sound->sampleRate;
    const qint64 end = std::min(m_next + frames, lengthAt(outputRate));
    const qint64 first = m_next;
    for (; m_next < end; ++m_next) {
        // The position in the sound, kept as a whole fraction so that long sounds do not drift.
        const qint64 scaled = m_next * rate;
        const qint64 index = scaled / outputRate;
        const float t = float(scaled % outputRate) / float(outputRate);
        const Stereo p0 = frameAt(index - 1), p1 = frameAt(index), p2 = frameAt(index + 1),
                     p3 = frameAt(index + 2);
        *out++ += interpolate(p0.left, p1.left, p2.left, p3.left, t);
        *out++ += interpolate(p0.right, p1.right, p2.right, p3.right, t);
    }
    return m_next - first;
}

} // namespace sound
