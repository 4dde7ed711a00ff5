#include "platform/modal_show.h"

#include <QEvent>
#include <QEventLoop>
#include <QWidget>

#include <utility>

namespace platform {
namespace {

ModalShowHandler &currentHandler()
{
    static ModalShowHandler handler;
    return handler;
}

// Ends the wait when the window goes away. A spontaneous hide is the window being minimised,
// which does not end a modal show.
class CloseWatch : public QObject
{
public:
    CloseWatch(QWidget &window, QEventLoop &loop)
        : m_loop(loop)
    {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && !event->spontaneous())
            m_loop.quit();
        return false;
    }

private:
    QEventLoop &m_loop;
};

void showDefault(QWidget &window)
{
    QEventLoop loop;
    CloseWatch watch(window, loop);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.raise();
    window.activateWindow();
    if (window.isVisible())
        loop.exec(QEventLoop::DialogExec);
}

} // namespace

void showModal(QWidget &window)
{
    if (const ModalShowHandler &handler = currentHandler())
        handler(window);
    else
        showDefault(window);
}

ModalShowHandler setModalShowHandler(ModalShowHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace platform
