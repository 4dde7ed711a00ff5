#include "console/password_gate.h"

#include "console/settings_entries.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "dialogs/frm_input.h"
#include "platform/services.h"
#include "sound/theme_sound.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

bool IsProtectedButton(int i)
{
    const ButtonTable &table = programState().consoleButtons;
    if (i < 1 || i > table.count)
        return false;
    return console::readButtonLine(QStringLiteral("DEFAULT"), console::indexKey(table.at(i).line),
                                   console::consoleSkinFile())
        .isProtected();
}

void forgetPassword(QString &text)
{
    if (text.isDetached())
        std::fill(text.begin(), text.end(), QChar());
    text.clear();
}

void playPasswordSound(const QString &key)
{
    // Copied out of INIValue by readIni: ThemeSound reads the theme switches through it.
    if (const auto name = readIni(QStringLiteral("DEFAULT"), key, console::terminalSkinFile()))
        ThemeSound(*name, false);
}

bool PasswordGate()
{
    ProgramState &state = programState();
    playPasswordSound(QStringLiteral("PassStartSound"));
    state.PasswordMode = true;
    showInputDialog();
    // Paints and timers held up by the dialog run before the answer is judged.
    QCoreApplication::processEvents();
    QString entered = std::exchange(state.DialogText, QString());
    const bool right = entered == state.Password;
    forgetPassword(entered);
    if (!right) {
        playPasswordSound(QStringLiteral("PassFailSound"));
        return false;
    }
    playPasswordSound(QStringLiteral("PassOkSound"));
    QCoreApplication::processEvents();
    // A plain sleep: the accepted password's sound plays on while no click can get through.
    platform::services().sleep(2000);
    return true;
}
