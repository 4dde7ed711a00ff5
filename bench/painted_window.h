#pragma once

// The moment a start-up benchmark stops its clock: the window is on the screen and every list in
// it has drawn its lines. Both sides of the start-up comparison use this, so neither is timed to
// an earlier point than the other.

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QSet>
#include <QWidget>

namespace bench {

class PaintWatch : public QObject
{
public:
    PaintWatch() { QCoreApplication::instance()->installEventFilter(this); }

    // Lets events run until window and each visible list view in it have painted; false after
    // 10 s.
    bool waitUntilPainted(QWidget &window)
    {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (painted(window))
                return true;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        return false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted.insert(watched);
        return false;
    }

private:
    bool painted(QWidget &window) const
    {
        if (!m_painted.contains(&window))
            return false;
        const auto views = window.findChildren<QAbstractItemView *>();
        for (const QAbstractItemView *view : views) {
            if (view->isVisible() && !m_painted.contains(view->viewport()))
                return false;
        }
        return true;
    }

    QSet<QObject *> m_painted;
};

} // namespace bench
