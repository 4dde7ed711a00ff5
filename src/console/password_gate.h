#pragma once

#include <QString>

namespace skin {
class Theme;
}

// The password that guards protected console buttons.

// Whether console button i (1 ... the button count of the console's ButtonTable) asks for the
// password, by skin::ButtonLine::isProtected() on its line, read anew on every click from the
// override file of the console skin, else from the skin itself (the key is the button's layout
// line number with at least two digits). False for an index out of range.
[[nodiscard]] bool IsProtectedButton(const skin::Theme &theme, int i);

enum class GateResult
{
    Opened,
    Refused,   // a wrong entry, or a store that cannot be read
    Cancelled, // the dialog was closed without an answer
};

// Asks for the password in the masked input dialog (PasswordMode set) between the sounds
// "PassStartSound" and "PassOkSound" or "PassFailSound" of terminal.skn. Opened when the accepted
// entry equals the password stored now ("DEFAULT" "Password", empty when absent) exactly; a
// closed or cancelled dialog, and a store that cannot be read, never pass. The entry is
// forgotten once compared: DialogText is empty afterwards. After an accepted password the console
// pauses 2000 ms without answering events (platform::services().sleep).
[[nodiscard]] GateResult PasswordGate(const skin::Theme &theme);

// Plays the theme sound named by key in section "DEFAULT" of terminal.skn; nothing when the key
// is missing.
void playPasswordSound(const skin::Theme &theme, const QString &key);

// Empties text that held a typed password, overwriting its characters first when no other copy
// shares them, so that the memory it leaves does not keep the password either.
void forgetPassword(QString &text);
