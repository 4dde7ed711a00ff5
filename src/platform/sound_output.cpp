#include "sound_output.h"

#include "platform/sound_device_output.h"

namespace platform {

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

} // namespace platform
