#include "skin/tear_down_layout.h"

#include "core/program_state.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

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

void TearDownLayout(SkinnedWindow &window, const skin::Theme &theme)
{
    ProgramState &state = programState();
    // The shell may have changed the switches since start-up.
    const skin::ProgressiveBuild build =
        theme.progressiveBuild(QStringLiteral("DEFAULT"), {state.Animated, state.AnimDelay});
    state.Animated = build.animated;
    state.AnimDelay = build.delay;
    const int keep = qMax(0, state.InitialControlCount);
    if (state.Animated)
        removeOneByOne(window, keep, state.AnimDelay);
    else
        removeAtOnce(window, keep);
}

void RemoveLayoutAtOnce(SkinnedWindow &window)
{
    removeAtOnce(window, qMax(0, programState().InitialControlCount));
}
