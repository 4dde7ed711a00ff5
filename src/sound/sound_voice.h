#pragma once

#include "sound/sound_decoder.h"

#include <memory>

namespace sound {

// One sound on its way into the output stream: its samples taken at the stream's rate and
// folded to stereo. A mono sound plays on both sides; a sound of more channels plays the mean
// of its even channels on the left and of its odd ones on the right.
class SoundVoice
{
public:
    explicit SoundVoice(std::shared_ptr<const DecodedSound> sound);

    // Adds the next frames of the sound, at most `frames` stereo frames at outputRate, to what
    // out holds. Returns how many it added: fewer than asked once the sound ends.
    qint64 mixInto(float *out, qint64 frames, int outputRate);
    bool hasEnded(int outputRate) const { return m_next >= lengthAt(outputRate); }
    qint64 durationMs() const { return m_sound->durationMs(); }

private:
    struct Stereo
    {
        float left = 0;
        float right = 0;
    };

    Stereo frameAt(qint64 index) const;
    qint64 lengthAt(int outputRate) const;

    std::shared_ptr<const DecodedSound> m_sound;
    qint64 m_next = 0; // the next output frame
};

} // namespace sound
