#include "sound_voice.h"

#include <QAudioSink>
#include <QBuffer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

namespace {

// The sound server's own latency behind the stream's buffer.
constexpr qint64 DrainMarginMs = 50;

// Hands the samples to the sink and reports the first read: that is the moment the sound
// reaches the device.
class SampleSource final : public QBuffer
{
public:
    SampleSource(const QByteArray &samples, std::function<void()> firstRead)
        : m_firstRead(std::move(firstRead))
    {
        setData(samples);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 read = QBuffer::readData(data, maxSize);
        if (read > 0 && m_firstRead)
            std::exchange(m_firstRead, nullptr)();
        return read;
    }

private:
    std::function<void()> m_firstRead;
};

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

std::unique_ptr<SoundVoice> SoundVoice::start(const QAudioDevice &device,
                                              const std::shared_ptr<const DecodedSound> &sound,
                                              Callbacks callbacks)
{
    // Sound servers take float samples, so the decoded samples usually go out untouched; a
    // device that does not is given 16-bit samples instead.
    QAudioFormat format = formatOf(*sound, QAudioFormat::Float);
    QByteArray samples = sound->samples;
    if (!device.isFormatSupported(format)) {
        format = formatOf(*sound, QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return nullptr;
        samples = toInt16(samples);
    }

    std::unique_ptr<SoundVoice> voice(new SoundVoice);
    voice->m_callbacks = std::move(callbacks);
    voice->m_source = std::make_unique<SampleSource>(samples, voice->m_callbacks.firstSamples);
    voice->m_source->open(QIODevice::ReadOnly);
    voice->m_sink = std::make_unique<QAudioSink>(device, format);

    SoundVoice *self = voice.get();
    QObject::connect(voice->m_sink.get(), &QAudioSink::stateChanged, voice->m_sink.get(),
                     [self](QAudio::State state) {
                         if (state == QAudio::IdleState)
                             self->drain();
                         else if (state == QAudio::StoppedState)
                             self->finish(); // the stream failed
                     });
    voice->m_sink->start(voice->m_source.get());
    if (voice->m_sink->error() != QAudio::NoError || voice->m_sink->state() == QAudio::StoppedState)
        return nullptr;
    return voice;
}

SoundVoice::~SoundVoice()
{
    stop();
}

void SoundVoice::stop()
{
    if (!m_sink)
        return;
    m_ended = true;
    QObject::disconnect(m_sink.get(), nullptr, nullptr, nullptr);
    m_sink->stop();
}

void SoundVoice::drain()
{
    // Idle means the samples have all been taken, not played: the device still holds its
    // buffer, and stopping the sink now would cut off the end of the sound.
    const qint64 queued = m_sink->bufferSize() - m_sink->bytesFree();
    const qint64 queuedMs =
        m_sink->format().durationForBytes(int(std::max<qint64>(queued, 0))) / 1000;
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

} // namespace platform
