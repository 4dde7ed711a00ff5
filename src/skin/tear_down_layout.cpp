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

} // namespace

void TearDownLayout(SkinnedWindow &window)
{
    rereadSwitches();
    const ProgramState &state = programState();
    const int keep = qMax(0, state.InitialControlCount);
    for (int i = window.controlCount() - 1; i >= keep; --i) {
        // An element removed by an event that ran in between leaves a shorter list behind.
        if (i >= window.controlCount())
            continue;
        if (state.Animated && isShown(window.control(i)))
            window.buildPause(state.AnimDelay);
        window.removeControl(i);
        QCoreApplication::processEvents();
    }
}
