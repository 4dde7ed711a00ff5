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

#include <algorithm>

namespace bench {

class PaintWatch : public QObject
{
public:
    PaintWatch() { QCoreApplication::instance()->installEventFilter(this); }

    // Lets events run until window has drawn on the screen (itself or the children that cover
    // it) and each visible list view in it has painted its lines; false after 10 s.
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
        const auto drawnIn = [&window](QObject *object) {
            auto *widget = qobject_cast<QWidget *>(object);
            return widget && (widget == &window || window.isAncestorOf(widget));
        };
        if (!window.isVisible() || std::none_of(m_painted.cbegin(), m_painted.cend(), drawnIn))
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
