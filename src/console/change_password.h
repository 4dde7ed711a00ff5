#pragma once

#include <QString>

namespace skin {
class Theme;
}

// The PASSWORD command: asks twice for a new password with the system's input prompt (title
// "KESTA Terminal", prompts "Text-Pass1" and "Text-Pass2" of the theme's terminal.skn, empty
// when missing), masked as a password field. Two equal, non-empty entries are stored as the shell's
// password (settings store, "DEFAULT"/"Password") and become the password this console's gate asks
// for from now on; "PassOkSound" plays. Different or empty entries, a cancel, or a store that
// cannot be written change nothing and play "PassFailSound". Returns what a screen reader is to
// hear of it: "Password changed", "The passwords differ" (two entries, not alike) or "Password
// not changed".
QString ChangePassword(const skin::Theme &theme);
