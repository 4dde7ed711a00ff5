#pragma once

#include "platform/file_watch.h"

#include <QObject>
#include <QString>

namespace core {

class ConsoleWindow;

// True only for the exact text "1" (" 1", "01" and "true" are no exit request).
[[nodiscard]] bool isExitRequest(const QString &stored);

// Reads the shell's exit request (settings section "EXIT", key AppTitle, default "0"); on a
// request stops the exit watch and ends the program through the window. Returns whether it did.
bool actOnExitRequest(ConsoleWindow &window);

// The exit watch: acts on the shell's exit request as soon as the settings store changes on disk,
// with no wait and no timer (the store is polled every 500 ms only where the system cannot tell
// of its changes). Follows the store from start() to stop().
class ExitWatch : public QObject
{
public:
    ExitWatch(ConsoleWindow &window, QObject *parent);

    // Follows the store from now on, and acts on a request already there: call it once a request
    // left over from an earlier run has been cleared.
    void start();
    void stop();

private:
    void storeChanged();

    ConsoleWindow &m_window;
    platform::FileWatch *m_watch = nullptr;
};

} // namespace core
