#pragma once

#include <QObject>

namespace platform {

// Tells when the pointer may have moved with respect to the program's windows: it entered, moved
// over, pressed or released on, or left one of them, or a widget appeared or went under a pointer
// that stood still. Nothing is asked of the windowing system: only the events that reach the
// program are looked at, so an idle program is not woken.
class PointerEvents : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // After the event has been seen, so that services().pointerPosition tells of it.
    void pointerMoved();
};

// The program's one PointerEvents, made on first use; call it from the UI thread once the
// QApplication exists.
[[nodiscard]] PointerEvents &pointerEvents();

// From now on, the system's pointer (services().pointerPosition and widgetAt) is the one the
// events reaching this program's windows tell of, for a windowing system that tells a client
// nothing else (Wayland): while the pointer is over none of them, its position is one that no
// window of the program contains and nothing lies under it. Call once, from the UI thread,
// after the QApplication exists.
void followPointerThroughWindowEvents();

} // namespace platform
