#include "sound_voice.h"

#include <QAudioSink>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace sound {

namespace {

// Well inside the stream's buffer (about a tenth of a second), so it never runs dry.
constexpr int FeedIntervalMs = 20;
// The sound server's own latency behind the stream's buffer.
constexpr qint64 DrainMarginMs = 50;

QAudioFormat formatOf(const DecodedSound &sound, QAudioFormat::SampleFormat sampleFormat)
{
    QAudioFormat format;
    format.setSampleRate(sound.sampleRate);
    format.setChannelCount(sound.channelCount);
    format.setSampleFormat(sampleFormat);
    return format;
}

QByteArray toInt16(const QByteArray &floats)
{
    const auto *in = reinterpret_cast<const float *>(floats.constData());
    const qsizetype count = floats.size() / qsizetype(sizeof(float));
    QByteArray out(count * qsizetype(sizeof(qint16)), Qt::Uninitialized);
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype i = 0; i < count; ++i) {
        const float clipped = std::clamp(in[i], -1.0f, 1.0f);
        samples[i] = qint16(std::lround(clipped * 32767.0f));
    }
    return out;
}

} // namespace

std::unique_ptr<SoundVoice> SoundVoice::start(const QAudioDevice &device, const DecodedSound &sound,
                                              Callbacks callbacks)
{
    // Sound servers take float samples, so the decoded samples usually go out untouched; a
    // device that does not is given 16-bit samples instead.
    QAudioFormat format = formatOf(sound, QAudioFormat::Float);
    QByteArray samples = sound.samples;
    if (!device.isFormatSupported(format)) {
        format = formatOf(sound, QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return nullptr;
        samples = toInt16(samples);
    }

    std::unique_ptr<SoundVoice> voice(new SoundVoice);
    voice->m_samples = samples;
    voice->m_callbacks = std::move(callbacks);
    voice->m_sink = std::make_unique<QAudioSink>(device, format);
    SoundVoice *self = voice.get();
    QObject::connect(voice->m_sink.get(), &QAudioSink::stateChanged, voice->m_sink.get(),
                     [self](QAudio::State state) {
                         if (state == QAudio::StoppedState &&
                             self->m_sink->error() != QAudio::NoError)
                             self->finish();
                     });

    // The voice writes into the stream itself rather than letting the sink pull on its timer,
    // which would leave the device waiting up to a whole timer period for the first samples.
    voice->m_device = voice->m_sink->start();
    if (!voice->m_device || voice->m_sink->error() != QAudio::NoError)
        return nullptr;
    // The server starts a stream only once it holds a certain amount; a click shorter than
    // that would never be heard. Silence after it fills the stream's buffer.
    const qint64 frameBytes = format.bytesPerFrame();
    const qint64 bufferBytes = voice->m_sink->bufferSize() / frameBytes * frameBytes;
    if (voice->m_samples.size() < bufferBytes)
        voice->m_samples.append(QByteArray(bufferBytes - voice->m_samples.size(), '\0'));

    voice->m_feeder = new QTimer(voice->m_sink.get());
    voice->m_feeder->setInterval(FeedIntervalMs);
    QObject::connect(voice->m_feeder, &QTimer::timeout, voice->m_sink.get(),
                     [self] { self->feed(); });
    voice->m_feeder->start();
    voice->feed();
    return voice;
}

SoundVoice::~SoundVoice()
{
    stop();
}

void SoundVoice::stop()
{
    m_ended = true;
    if (!m_sink)
        return;
    QObject::disconnect(m_sink.get(), nullptr, nullptr, nullptr);
    m_feeder->stop();
    m_sink->stop();
}

void SoundVoice::feed()
{
    if (m_ended)
        return;
    const qint64 room = std::min<qint64>(m_sink->bytesFree(), m_samples.size() - m_written);
    if (room > 0) {
        const qint64 wrote = m_device->write(m_samples.constData() + m_written, room);
        if (wrote > 0 && m_written == 0 && m_callbacks.firstSamples)
            m_callbacks.firstSamples();
        m_written += std::max<qint64>(wrote, 0);
    }
    if (m_written < m_samples.size())
        return;

    // Everything is written but not yet played: the device still holds its buffer, and
    // stopping the sink before that has played would cut off the end of the sound.
    m_feeder->stop();
    const qint64 queued = std::max<qint64>(m_sink->bufferSize() - m_sink->bytesFree(), 0);
    const qint64 queuedMs = m_sink->format().durationForBytes(int(queued)) / 1000;
    QTimer::singleShot(queuedMs + DrainMarginMs, m_sink.get(), [this] { finish(); });
}

void SoundVoice::finish()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_callbacks.ended)
        m_callbacks.ended();
}

} // namespace sound
