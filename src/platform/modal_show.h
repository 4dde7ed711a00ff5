#pragma once

#include <QPointer>

class QWidget;

namespace platform {

// Gives the keyboard back, when it ends, to the window that had it when it began (if that
// window is still shown): a dialog that closes leaves the keyboard where it found it. Without a
// window manager nobody else would, and the keyboard would go to the desktop.
class KeyboardReturn
{
public:
    KeyboardReturn();
    ~KeyboardReturn();
    KeyboardReturn(const KeyboardReturn &) = delete;
    KeyboardReturn &operator=(const KeyboardReturn &) = delete;

private:
    QPointer<QWidget> m_window;
};

// Shows window application-modal and returns once it has been hidden (closed by the program or
// through the window manager) or deleted; the rest of the program gets no input meanwhile
// (services().showModal).
void showModal(QWidget &window);

// The system's modal show, what showModal() does unless a test replaced it. Returns at once
// when the window was hidden before the wait began.
void runModal(QWidget &window);

} // namespace platform
