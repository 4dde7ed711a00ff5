#pragma once

#include <QString>

// One encoding of the WAV files a theme may ship, as libsndfile names it.
struct WavEncoding
{
    const char *name;
    int subtype; // SF_FORMAT_PCM_16, SF_FORMAT_IMA_ADPCM, ...
    int sampleRate;
    int channels;
};

// One of each encoding, spread over the common rates and both channel counts.
inline constexpr int WavEncodingCount = 9;
const WavEncoding *wavEncodings();

// Writes a sine tone of frequency Hz at the given peak (0 to 1) lasting durationMs as a WAV
// file of encoding. Returns false when libsndfile refuses.
bool writeToneWav(const QString &path, const WavEncoding &encoding, int durationMs,
                  double frequency = 440.0, double peak = 0.5);
