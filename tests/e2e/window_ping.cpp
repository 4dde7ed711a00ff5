#include "window_ping.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

WindowPing::WindowPing(const QString &display)
{
    int screen = 0;
    m_connection = xcb_connect(display.toLatin1().constData(), &screen);
    if (!isConnected())
        return;
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (; screen > 0 && roots.rem > 1; --screen)
        xcb_screen_next(&roots);
    m_root = roots.data->root;
    // Programs send their answer to the root window for whoever listens to its structure (Qt
    // names one of these two masks, depending on its version).
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    m_protocols = atom("WM_PROTOCOLS");
    m_ping = atom("_NET_WM_PING");
}

WindowPing::~WindowPing()
{
    xcb_disconnect(m_connection);
}

bool WindowPing::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

uint32_t WindowPing::atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const uint32_t value = reply ? reply->atom : 0;
    std::free(reply);
    return value;
}

bool WindowPing::answers(const QString &window, int timeoutMs)
{
    bool isNumber = false;
    const uint32_t id = window.toUInt(&isNumber);
    if (!isConnected() || !isNumber)
        return false;
    xcb_client_message_event_t ping{};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = id;
    ping.type = m_protocols;
    ping.data.data32[0] = m_ping;
    ping.data.data32[1] = ++m_token; // the time stamp, which the answer repeats
    ping.data.data32[2] = id;
    xcb_send_event(m_connection, 0, id, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&ping));
    xcb_flush(m_connection);
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (replyArrived(m_token))
            return true;
        QThread::msleep(10);
    }
    return false;
}

bool WindowPing::replyArrived(uint32_t token)
{
    bool arrived = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
        arrived = arrived || ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                              message->type == m_protocols && message->data.data32[0] == m_ping &&
                              message->data.data32[1] == token);
        std::free(event);
    }
    return arrived;
}
