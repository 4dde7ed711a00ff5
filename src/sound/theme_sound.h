#pragma once

#include <QString>

namespace skin {
class Theme;
}

// Plays a sound of theme. This is the only way the console makes a sound.
//
// name is either a file of the theme folder without its extension ("click" plays the theme's
// "click.wav") or a full path used as it is, with nothing appended: a name that contains ":" or
// starts with "/" (skin::Theme::soundFile). The switches "Sound" (default true) and "Multiple"
// (default false) of section "DEFAULT" in the theme's "terminal.skn" are read on every call:
// "Sound" False plays nothing; "Multiple" True lets the sound play beside those still playing;
// False replaces the sound that the last call with "Multiple" False started, while sounds
// started with "Multiple" True play on. A switch whose value is no Boolean keeps its default.
//
// wait false returns as soon as the sound has been handed to the output; wait true returns when
// it has ended. A missing, empty or undecodable file, or no audio device, is silence: nothing is
// reported and the caller goes on. Runs on the UI thread and never holds it while the audio
// device opens. Like every reader of the theme, it leaves programState().INIValue with whatever
// its own reads put there, so a caller copies a name out of INIValue before passing it here.
void ThemeSound(const skin::Theme &theme, const QString &name, bool wait);
