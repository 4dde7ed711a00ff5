#pragma once

class QWidget;

namespace platform {

// Shows window application-modal and returns once it has been hidden (closed by the program or
// through the window manager) or deleted; the rest of the program gets no input meanwhile
// (services().showModal).
void showModal(QWidget &window);

// The system's modal show, what showModal() does unless a test replaced it. Returns at once
// when the window was hidden before the wait began.
void runModal(QWidget &window);

} // namespace platform
