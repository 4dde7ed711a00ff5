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

// The window that has the keyboard. Right after a dialog closed, the system may not have told
// yet that the keyboard went back (a dialog opening at once would find none, or the closed one,
// and give it back to nobody): then the one window still shown, if only one is.
QWidget *keyboardWindow()
{
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    QWidget *shown = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip ||
            window->windowType() == Qt::Popup)
            continue;
        if (shown)
            return nullptr;
        shown = window;
    }
    return shown;
}

} // namespace

KeyboardReturn::KeyboardReturn()
    : m_window(keyboardWindow())
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
