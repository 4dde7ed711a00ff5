#pragma once

#include <QString>

#include <cstdint>

struct xcb_connection_t;

// Asks a window's program whether it still handles events: the _NET_WM_PING a window manager
// sends, which a Qt window answers from its event loop, so a program that hangs (or sleeps)
// does not answer while a running one answers within milliseconds, modal dialogs open or not.
class WindowPing
{
public:
    explicit WindowPing(const QString &display);
    ~WindowPing();
    WindowPing(const WindowPing &) = delete;
    WindowPing &operator=(const WindowPing &) = delete;

    bool isConnected() const;
    // True when the program of the window (an xdotool id) answers within timeoutMs.
    bool answers(const QString &window, int timeoutMs);

private:
    uint32_t atom(const char *name);
    bool replyArrived(uint32_t token);

    xcb_connection_t *m_connection = nullptr;
    uint32_t m_root = 0;
    uint32_t m_protocols = 0;
    uint32_t m_ping = 0;
    uint32_t m_token = 0;
};
