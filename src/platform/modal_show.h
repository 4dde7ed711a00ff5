#pragma once

#include <functional>

class QWidget;

namespace platform {

// Shows window application-modal and returns once it has been hidden (closed by the program or
// through the window manager) or deleted; the rest of the program gets no input meanwhile.
// Returns at once when the window was hidden before the wait began.
void showModal(QWidget &window);

// Replaces what showModal does, for tests that drive a dialog instead of a person; returns the
// previous handler. The handler is called with the window and showModal returns when it does.
// An empty handler restores the default.
using ModalShowHandler = std::function<void(QWidget &window)>;
ModalShowHandler setModalShowHandler(ModalShowHandler handler);

} // namespace platform
