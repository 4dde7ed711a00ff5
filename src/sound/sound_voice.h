#pragma once

#include "sound/sound_decoder.h"

#include <QAudioDevice>
#include <QByteArray>

#include <functional>
#include <memory>

class QAudioSink;
class QIODevice;
class QTimer;

namespace sound {

// One sound playing on the audio device: a sink stream that the voice keeps topped up from the
// decoded samples. Lives on the sound output's thread and is used there only.
class SoundVoice
{
public:
    struct Callbacks
    {
        std::function<void()> firstSamples; // the device has taken the first samples
        std::function<void()> ended;        // played out or failed; not called after stop()
    };

    // Starts sound on device and hands it the first samples before returning. Returns nullptr
    // when the device takes neither 32-bit float nor 16-bit samples at the sound's rate and
    // channel count, or refuses to open the stream.
    static std::unique_ptr<SoundVoice> start(const QAudioDevice &device, const DecodedSound &sound,
                                             Callbacks callbacks);
    ~SoundVoice();
    SoundVoice(const SoundVoice &) = delete;
    SoundVoice &operator=(const SoundVoice &) = delete;

    // Silences the sound at once; the ended callback is not called.
    void stop();
    bool hasEnded() const { return m_ended; }

private:
    SoundVoice() = default;
    void feed();
    void finish();

    QByteArray m_samples;
    qint64 m_written = 0;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_device = nullptr; // owned by the sink
    QTimer *m_feeder = nullptr;    // child of the sink
    Callbacks m_callbacks;
    bool m_ended = false;
};

} // namespace sound
