#include "skin/tear_down_layout.h"

#include "core/ini_access.h"
#include "core/program_state.h"
#include "skin/skinned_window.h"
#include "skin/value_forms.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

void rereadSwitches()
{
    ProgramState &state = programState();
    const QString shellSkin = ThemePath() + QStringLiteral("terminal.skn");
    if (const auto value =
            readIni(QStringLiteral("DEFAULT"), QStringLiteral("Animated"), shellSkin)) {
        if (const auto animated = skin::toBoolean(*value))
            state.Animated = *animated;
    }
    if (const auto value =
            readIni(QStringLiteral("DEFAULT"), QStringLiteral("AnimDelay"), shellSkin)) {
        if (const auto delay = skin::toWholeNumber(*value))
            state.AnimDelay = *delay;
    }
}

// A timer has no visibility of its own and counts as shown.
bool isShown(const QObject *element)
{
    if (!element)
        return false;
    const auto *widget = qobject_cast<const QWidget *>(element);
    return !widget || !widget->isHidden();
}

// Without the progressive closing nobody is meant to watch the elements go: they vanish
// together, and are then removed newest first without a repaint in between. A repaint after
// each removal would walk every element still there, for every removal.
void removeAtOnce(SkinnedWindow &window, int keep)
{
    QWidget *surface = window.elementSurface();
    const bool shown = !surface->isHidden();
    surface->hide();
    for (int i = window.controlCount() - 1; i >= keep; --i)
        window.removeControl(i);
    if (shown)
        surface->show();
    QCoreApplication::processEvents();
}

// Each element is seen to go: visible ones and timers after a pause, every removal repainted.
void removeOneByOne(SkinnedWindow &window, int keep, qint32 delay)
{
    for (int i = window.controlCount() - 1; i >= keep; --i) {
        // An element removed by an event that ran in between leaves a shorter list behind.
        if (i >= window.controlCount())
            continue;
        if (isShown(window.control(i)))
            window.buildPause(delay);
        window.removeControl(i);
        QCoreApplication::processEvents();
    }
}

} // namespace

void TearDownLayout(SkinnedWindow &window)
{
    rereadSwitches();
    const ProgramState &state = programState();
    const int keep = qMax(0, state.InitialControlCount);
    if (state.Animated)
        removeOneByOne(window, keep, state.AnimDelay);
    else
        removeAtOnce(window, keep);
}
