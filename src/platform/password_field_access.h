#pragma once

class QEvent;

namespace platform {

// What assistive technology learns of a password field (platform::PasswordField): an editable
// text named as any widget is, telling its mask in place of the text (and the text itself only
// while unmasked), with its caret, at its place in the screen's device pixels. Installing twice
// does nothing.
void installPasswordFieldAccess();

// Whether event is the window system's own key event typing a character into the masked
// password field that has the keyboard: such an event must reach the field as the program's own
// event (sent again, not spontaneous), never through the accessibility bridge, whose keyboard
// listeners would otherwise hear each typed character (its text and its key symbol). Other keys
// (Enter, Tab, arrows, a screen reader's own commands) still reach them.
[[nodiscard]] bool typesIntoPasswordField(const QEvent &event);

} // namespace platform
