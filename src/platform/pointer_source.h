#pragma once

namespace platform {

// From now on, the system's pointer (services().pointerPosition and widgetAt) is the one the
// events reaching this program's windows tell of, for a windowing system that tells a client
// nothing else (Wayland): while the pointer is over none of them, its position is one that no
// window of the program contains and nothing lies under it. Call once, from the UI thread,
// after the QApplication exists.
void followPointerThroughWindowEvents();

} // namespace platform
