#pragma once

#include <QString>

namespace core {

class ConsoleWindow;

// True only for the exact text "1" (" 1", "01" and "true" are no exit request).
[[nodiscard]] bool isExitRequest(const QString &stored);

// One tick of the exit watch: reads the shell's exit request (settings section "EXIT", key
// AppTitle, default "0"); on a request stops the watch's timer and ends the program through the
// window. Returns whether it did.
bool exitWatchTick(ConsoleWindow &window);

} // namespace core
