#include "platform/modal_show.h"

#include "platform/services.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

namespace platform {
namespace {

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

} // namespace

KeyboardReturn::KeyboardReturn()
    : m_window(QApplication::activeWindow())
{}

KeyboardReturn::~KeyboardReturn()
{
    QWidget *window = m_window.data();
    if (window && window->isVisible())
        window->activateWindow();
}

void showModal(QWidget &window)
{
    services().showModal(window);
}

void runModal(QWidget &window)
{
    const KeyboardReturn keyboard;
    QEventLoop loop;
    CloseWatch watch(window, loop);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.raise();
    window.activateWindow();
    if (window.isVisible())
        loop.exec(QEventLoop::DialogExec);
}

} // namespace platform
