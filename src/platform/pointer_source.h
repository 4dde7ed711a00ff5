#pragma once

#include <QPoint>

class QWidget;

namespace platform {

// Where the pointer is and what lies under it. The console asks the windowing system; tests
// install a stand-in that reports a scripted position and widget.
class PointerSource
{
public:
    virtual ~PointerSource() = default;

    // The pointer's position on the screen, in pixels.
    virtual QPoint position() const = 0;
    // The innermost widget of this program that takes the mouse at screenPoint (pictures that
    // let the mouse through do not count); nullptr over another program's window or the
    // desktop.
    virtual QWidget *widgetAt(QPoint screenPoint) const = 0;
};

// The source in use: the one installed with setPointerSource(), else the windowing system's.
// Call from the UI thread.
PointerSource &pointerSource();

// Installs source (not owned; nullptr goes back to the windowing system) and returns the one
// installed before, nullptr meaning the windowing system.
PointerSource *setPointerSource(PointerSource *source);

// From now on, the windowing system's pointer is the one the events reaching this program's
// windows tell of, for a windowing system that tells a client nothing else (Wayland): while the
// pointer is over none of them, its position is one that no window of the program contains and
// nothing lies under it. Call once, from the UI thread, after the QApplication exists.
void followPointerThroughWindowEvents();

} // namespace platform
