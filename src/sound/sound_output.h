#pragma once

#include <QString>

namespace sound {

// Plays the sound file at diskPath (a path on this disk) on deviceSoundOutput(), or on the stand-in
// a test gave as platform::services().playSound. overlap false replaces: it stops the sound that
// the last replacing call started, if that still plays, and nothing else; overlap true plays
// beside every other sound. wait false returns at once; wait true returns when the sound has
// ended. Failures (no device, a file that does not decode) are silent: the call simply returns.
// Call from the UI thread.
void play(const QString &diskPath, bool overlap, bool wait);

} // namespace sound
