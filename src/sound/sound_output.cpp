#include "sound_output.h"

#include "sound/sound_device_output.h"

namespace sound {

namespace {
SoundOutput *installedOutput = nullptr;
} // namespace

SoundOutput &soundOutput()
{
    return installedOutput ? *installedOutput : deviceSoundOutput();
}

SoundOutput *setSoundOutput(SoundOutput *output)
{
    SoundOutput *previous = installedOutput;
    installedOutput = output;
    return previous;
}

} // namespace sound
