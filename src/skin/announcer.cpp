#include "skin/announcer.h"

#include <QAccessible>
#include <QEvent>
#include <QWidget>

namespace skin {

Announcer::Announcer(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    window.installEventFilter(this);
}

Announcer &Announcer::of(QWidget &window)
{
    if (auto *existing = window.findChild<Announcer *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new Announcer(window);
}

void Announcer::announce(const QString &words)
{
    if (words.isEmpty())
        return;
    emit announced(words);
    m_waiting.append(words);
    if (m_window.isActiveWindow())
        tellLater();
}

bool Announcer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && !m_waiting.isEmpty())
        tellLater();
    return QObject::eventFilter(watched, event);
}

void Announcer::tellLater()
{
    // After what is under way: the focus coming back and the states that changed are told
    // first, and the words do not cut them short.
    QMetaObject::invokeMethod(this, &Announcer::tell, Qt::QueuedConnection);
}

void Announcer::tell()
{
    if (m_waiting.isEmpty() || !m_window.isActiveWindow())
        return;
    m_words = m_waiting.join(QStringLiteral(". "));
    m_waiting.clear();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    // A notification that shows is what a screen reader speaks; it stays shown and shows
    // again for every announcement, since one that hides would be spoken as well.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void announce(QWidget &window, const QString &words)
{
    Announcer::of(window).announce(words);
}

} // namespace skin
