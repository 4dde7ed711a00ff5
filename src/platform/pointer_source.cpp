#include "platform/pointer_source.h"

#include "platform/services.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// The pointer as the program's own windows see it. A Wayland client learns where the pointer is
// only while it is over one of its windows, and not where its windows stand: Qt's idea of the
// window positions is all there is, and QApplication::widgetAt() can pick the wrong one of two
// overlapping windows. So the window the pointer is in comes from the enter and leave events,
// the point from the latest pointer event, and what lies under it from that window alone.
class WindowEventPointerSource final : public QObject
{
public:
    explicit WindowEventPointerSource(QObject *parent)
        : QObject(parent)
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
        if (watched->isWindowType())
            follow(static_cast<QWindow *>(watched), event);
        return false;
    }

private:
    // Off every screen, so inside no window of the program.
    static constexpr QPoint nowhere{-1'000'000, -1'000'000};

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
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            if (const auto *pointer = dynamic_cast<const QSinglePointEvent *>(event)) {
                m_position = pointer->globalPosition().toPoint();
                m_window = widgetOf(window);
            }
            break;
        case QEvent::Leave:
            // Going from one window of the program to another may bring the enter first.
            if (const QWidget *left = m_window.data(); left && left->windowHandle() == window)
                m_window = nullptr;
            break;
        default:
            break;
        }
    }

    QPointer<QWidget> m_window;
    QPoint m_position;
};

} // namespace

void followPointerThroughWindowEvents()
{
    // Lives as long as the application, which is as long as anything asks for the pointer.
    static WindowEventPointerSource *source = nullptr;
    if (source)
        return;
    source = new WindowEventPointerSource(QCoreApplication::instance());
    // Made once and never ended, so it stands for the system beneath any override of a test.
    static ServicesOverride followEvents(Services{
        .pointerPosition = [] { return source->position(); },
        .widgetAt = [](QPoint screenPoint) { return source->widgetAt(screenPoint); },
    });
}

} // namespace platform
