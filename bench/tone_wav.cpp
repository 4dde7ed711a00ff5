#include "tone_wav.h"

#include <QFile>

#include <cmath>
#include <numbers>
#include <sndfile.h>
#include <vector>

const WavEncoding *wavEncodings()
{
    static constexpr WavEncoding encodings[WavEncodingCount] = {
        {"pcm8-mono-11025", SF_FORMAT_PCM_U8, 11025, 1},
        {"pcm16-stereo-44100", SF_FORMAT_PCM_16, 44100, 2},
        {"pcm24-mono-48000", SF_FORMAT_PCM_24, 48000, 1},
        {"pcm32-stereo-22050", SF_FORMAT_PCM_32, 22050, 2},
        {"float-stereo-48000", SF_FORMAT_FLOAT, 48000, 2},
        {"ima-adpcm-mono-22050", SF_FORMAT_IMA_ADPCM, 22050, 1},
        {"ms-adpcm-stereo-44100", SF_FORMAT_MS_ADPCM, 44100, 2},
        {"mulaw-mono-8000", SF_FORMAT_ULAW, 8000, 1},
        {"alaw-stereo-16000", SF_FORMAT_ALAW, 16000, 2},
    };
    return encodings;
}

bool writeToneWav(const QString &path, const WavEncoding &encoding, int durationMs,
                  double frequency, double peak)
{
    SF_INFO info{};
    info.samplerate = encoding.sampleRate;
    info.channels = encoding.channels;
    info.format = SF_FORMAT_WAV | encoding.subtype;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = sf_count_t(encoding.sampleRate) * durationMs / 1000;
    std::vector<float> samples(size_t(frames * encoding.channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(peak * std::sin(2 * std::numbers::pi * frequency *
                                           double(i / encoding.channels) / encoding.sampleRate));
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}
