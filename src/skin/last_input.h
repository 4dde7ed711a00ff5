#pragma once

namespace skin {

// Whether the person's last press came from the keyboard rather than the mouse or a touch:
// what the console does after a choice (keep the keyboard's place, or move the focus as a mouse
// user expects) and whether a button marks its focus depend on it. False until the first press.
[[nodiscard]] bool lastInputWasKeyboard();

} // namespace skin
