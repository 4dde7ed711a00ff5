#pragma once

#include <QString>

namespace sound {

// Where sounds go. The console plays through the audio device; tests install a stand-in that
// records what would have been played.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Plays the sound file at diskPath (a path on this disk). overlap false replaces: it stops
    // the sound that the last replacing call started, if that still plays, and nothing else;
    // overlap true plays beside every other sound. wait false returns at once; wait true returns
    // when the sound has ended. Failures (no device, a file that does not decode) are silent:
    // the call simply returns.
    virtual void play(const QString &diskPath, bool overlap, bool wait) = 0;
};

// The output sounds go to: the one installed with setSoundOutput(), else deviceSoundOutput().
// Call from the UI thread.
SoundOutput &soundOutput();

// Installs output (not owned; nullptr goes back to the device) and returns the one installed
// before, nullptr meaning the device.
SoundOutput *setSoundOutput(SoundOutput *output);

} // namespace sound
