#pragma once

namespace console {
class ConsoleView;
}

// The editors behind the console's CHANGE... commands. The six button editors work on the
// button whose protection line was clicked last: the selection label lblInfo(0) names it as
// "NN HEADER SECTION", its line is key NN of SECTION in HEADER + ".ini" (the override file,
// the only one written), else HEADER + ".skn". With no selection, or a line of fewer than ten
// fields, they do nothing. Each writes nothing when its prompt or dialog is cancelled or left
// empty; after a write it selects the protection line again, which refreshes the labels. A
// failing write shows "Error Writing Key" (INI access) and leaves the file as it was.

// The command (field 10 to the end of the line) through the select dialog, which starts from
// the current command.
void EditCommand(console::ConsoleView &console);

// The click sound (field 8) or the over sound (field 7) through the system's input prompt
// (prompt "msgboxsoundclick" of the console skin for both, the current sound as default). An
// entry with a comma is refused: it would split the field and shift the command.
void EditClickSound(console::ConsoleView &console);
void EditOverSound(console::ConsoleView &console);

// Flips the protected flag (field 9) to "true" or "false" and the protection line's prefix with
// it; the line keeps its prefix when the write fails.
void ToggleProtection(console::ConsoleView &console);

// The voice command, key NN of section HEADER in voicecontrol.ini, through the input prompt
// (prompt "msgboxvoicecontrol", default the current command from voicecontrol.ini, else
// voicecontrol.master).
void EditVoiceCommand(console::ConsoleView &console);

// Removes the button's override line and its voice command (silently when they are not
// there), refills the protection and switch lists and selects the line again: the button is the
// theme's again.
void RestoreDefaults(console::ConsoleView &console);

// Stores the theme of ThemeName as the shell's theme: "\Themes\" + ThemeName + "\" in the
// settings store, "Default"/"ThemeDir". The running console keeps its theme. True when the
// choice was stored; false when the store could not be written, and while ThemeName is empty
// (nothing is stored then).
[[nodiscard]] bool SaveThemeChoice();
