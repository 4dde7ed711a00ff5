#include "sound_output.h"

#include "platform/services.h"
#include "sound/sound_device_output.h"

namespace sound {

void play(const QString &diskPath, bool overlap, bool wait)
{
    if (const auto &standIn = platform::services().playSound)
        standIn(diskPath, overlap, wait);
    else
        deviceSoundOutput().play(diskPath, overlap, wait);
}

} // namespace sound
