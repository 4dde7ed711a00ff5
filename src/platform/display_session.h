#pragma once

#include <QByteArray>

namespace platform {

// The windowing system the console runs on. The console needs two things a Wayland compositor
// gives no client: where the pointer is over other programs' windows, and placing its own
// window (the shell's Screen area). Under a Wayland session with an X server to reach
// (XWayland), it therefore runs as an X11 client; without one, on Wayland with what that allows.
class DisplaySession
{
public:
    // Before the QApplication exists: under a Wayland session (WAYLAND_DISPLAY set), asks Qt
    // for its X11 platform when DISPLAY is set, and for Wayland when it is not or when that X
    // server cannot be reached. A platform the user chose (QT_QPA_PLATFORM) is kept.
    //
    // Until settle(), Qt's messages are held back; when no display can be opened, program says
    // in one line on standard error what is missing and how to run without a display, and the
    // process ends with status 1 (where Qt would abort and leave a core).
    explicit DisplaySession(const char *program);

    // After the QApplication exists: withdraws that request from the environment, so that the
    // programs the console starts choose their own platform; says once (kesta.platform) how the
    // console runs under Wayland and what it lacks there; and on Wayland itself has the pointer
    // followed through the events that reach the console's windows.
    void settle();

private:
    bool m_requested = false;
    QtMessageHandler m_previousHandler = nullptr;
};

// Whether a window's mask (QWidget::setMask) cuts what the screen shows of the window. On
// Wayland it does not: the compositor draws the whole surface and the mask only tells where
// the window takes the pointer, so a shaped window must also be see-through outside it.
[[nodiscard]] bool windowMaskCutsDrawing();

} // namespace platform
