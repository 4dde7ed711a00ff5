#include "platform/pointer_source.h"

#include "platform/services.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Off every screen, so inside no window of the program.
constexpr QPoint nowhere{-1'000'000, -1'000'000};

// Sees every pointer event of the program's windows, and the enter and leave events a widget gets
// when it appears or goes under a pointer that stands still. It keeps the pointer as those events
// tell of it: a Wayland client learns where the pointer is only while it is over one of its
// windows, and not where its windows stand, so the window the pointer is in comes from the enter
// and leave events, the point from the latest pointer event, and what lies under it from that
// window alone.
class WindowPointerEvents final : public PointerEvents
{
public:
    explicit WindowPointerEvents(QObject *parent)
        : PointerEvents(parent)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    QPoint position() const { return m_window ? m_position : nowhere; }
    QWidget *widgetAt(QPoint screenPoint) const
    {
        QWidget *window = m_window.data();
        if (!window)
            return nullptr;
        const QPoint inside = window->mapFromGlobal(screenPoint);
        if (!window->rect().contains(inside))
            return nullptr;
        QWidget *child = window->childAt(inside);
        return child ? child : window;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        const bool enterOrLeave = type == QEvent::Enter || type == QEvent::Leave;
        const bool pointer = type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
                             type == QEvent::MouseButtonRelease;
        if (watched->isWindowType() && (enterOrLeave || pointer))
            follow(static_cast<QWindow *>(watched), event);
        // A widget's own mouse events are its share of its window's, told already.
        else if (!(watched->isWidgetType() && enterOrLeave))
            return false;
        emit pointerMoved();
        return false;
    }

private:
    static QWidget *widgetOf(const QWindow *window)
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *widget : windows) {
            if (widget->windowHandle() == window)
                return widget;
        }
        return nullptr;
    }

    void follow(QWindow *window, QEvent *event)
    {
        if (event->type() == QEvent::Leave) {
            // Going from one window of the program to another may bring the enter first.
            if (const QWidget *left = m_window.data(); left && left->windowHandle() == window)
                m_window = nullptr;
        } else if (const auto *pointer = dynamic_cast<const QSinglePointEvent *>(event)) {
            m_position = pointer->globalPosition().toPoint();
            m_window = widgetOf(window);
        }
    }

    QPointer<QWidget> m_window;
    QPoint m_position;
};

WindowPointerEvents &source()
{
    // Lives as long as the application, which is as long as anything asks for the pointer.
    static QPointer<WindowPointerEvents> events;
    if (!events)
        events = new WindowPointerEvents(QCoreApplication::instance());
    return *events;
}

} // namespace

PointerEvents &pointerEvents()
{
    return source();
}

void followPointerThroughWindowEvents()
{
    static bool following = false;
    if (following)
        return;
    following = true;
    // Made once and never ended, so it stands for the system beneath any override of a test.
    static ServicesOverride followEvents(Services{
        .pointerPosition = [] { return source().position(); },
        .widgetAt = [](QPoint screenPoint) { return source().widgetAt(screenPoint); },
    });
}

} // namespace platform
