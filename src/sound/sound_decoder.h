#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace sound {

// A whole sound in memory, ready for the audio device: interleaved 32-bit float frames at the
// file's own rate and channel count (the sound server converts both).
struct DecodedSound
{
    int sampleRate = 0;
    int channelCount = 0;
    QByteArray samples;

    qint64 frameCount() const;
    qint64 durationMs() const;
};

// Sounds longer than this are refused rather than held in memory (about three minutes of
// 48 kHz stereo); theme sounds last a second or two.
inline constexpr qint64 MaxDecodedSoundBytes = 64 * 1024 * 1024;

// Decodes the sound file at diskPath: every WAV encoding libsndfile reads (8/16/24/32-bit PCM,
// 32-bit float, IMA and MS ADPCM, mu-law, A-law) and the other formats it knows. Returns nullptr
// when the file cannot be opened or is no sound, has no frames, has more than 8 channels or a
// rate outside 1 kHz to 384 kHz, or would decode to more than MaxDecodedSoundBytes. A file cut
// short in its data gives the frames that are there. A refusal is logged (kesta.sound).
std::shared_ptr<const DecodedSound> decodeSound(const QString &diskPath);
// decodeSound(), leaving the text of a refusal in *problem.
std::shared_ptr<const DecodedSound> decodeSoundOrExplain(const QString &diskPath, QString *problem);

} // namespace sound
