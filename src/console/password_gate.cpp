#include "console/password_gate.h"

#include "console/settings_entries.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "dialogs/frm_input.h"
#include "platform/services.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"

#include <QCoreApplication>

#include <algorithm>

bool IsProtectedButton(const skin::Theme &theme, int i)
{
    const ButtonTable &table = programState().consoleButtons;
    if (i < 1 || i > table.count)
        return false;
    return theme.consoleSkin()
        .buttonLine(QStringLiteral("DEFAULT"), console::indexKey(table.at(i).line))
        .isProtected();
}

void forgetPassword(QString &text)
{
    if (text.isDetached())
        std::fill(text.begin(), text.end(), QChar());
    text.clear();
}

void playPasswordSound(const skin::Theme &theme, const QString &key)
{
    // Copied out of INIValue by the read: ThemeSound reads the theme switches through it.
    if (const auto name = theme.shellSkin().text(QStringLiteral("DEFAULT"), key))
        ThemeSound(theme, *name, false);
}

GateResult PasswordGate(const skin::Theme &theme)
{
    playPasswordSound(theme, QStringLiteral("PassStartSound"));
    programState().PasswordMode = true;
    std::optional<QString> entered = showInputDialog(theme);
    // Paints and timers held up by the dialog run before the answer is judged.
    QCoreApplication::processEvents();
    // Read as the answer is judged, not at start: the shell may have changed the password since.
    // A store that cannot be read opens nothing, and a closed dialog is no answer at all.
    std::optional<QString> stored = settings::read(settings::application, QStringLiteral("DEFAULT"),
                                                   QStringLiteral("Password"));
    const bool right = entered && stored && *entered == *stored;
    if (entered)
        forgetPassword(*entered);
    if (stored)
        forgetPassword(*stored);
    if (!right) {
        playPasswordSound(theme, QStringLiteral("PassFailSound"));
        return entered ? GateResult::Refused : GateResult::Cancelled;
    }
    playPasswordSound(theme, QStringLiteral("PassOkSound"));
    QCoreApplication::processEvents();
    // A plain sleep: the accepted password's sound plays on while no click can get through.
    platform::services().sleep(2000);
    return GateResult::Opened;
}
