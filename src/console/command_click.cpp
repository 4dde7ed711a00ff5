#include "console/command_click.h"

#include "console/change_password.h"
#include "console/frm_main.h"
#include "console/open_command.h"
#include "console/password_gate.h"
#include "console/setting_editors.h"
#include "core/program_state.h"
#include "sound/theme_sound.h"

#include <array>

namespace {

struct Keyword
{
    QStringView word;
    void (*run)(frmMain &console);
};

const std::array keywords{
    Keyword{u"PASSWORD", [](frmMain &console) { ChangePassword(console.theme()); }},
    Keyword{u"CHANGECOMMAND", EditCommand},
    Keyword{u"CHANGESECURITY", ToggleProtection},
    Keyword{u"CHANGETHEME", [](frmMain &) { SaveThemeChoice(); }},
    Keyword{u"CHANGESOUNDOVER", EditOverSound},
    Keyword{u"CHANGESOUNDCLICK", EditClickSound},
    Keyword{u"CHANGEVOICECONTROL", EditVoiceCommand},
    Keyword{u"CHANGEDEFAULT", RestoreDefaults},
    Keyword{u"QUIT", [](frmMain &console) { console.EndProgram(); }},
};

} // namespace

void OnCommandButtonClick(frmMain &console, int index)
{
    const ButtonTable &table = programState().consoleButtons;
    if (index < 1 || index > table.count)
        return;
    // A copy: the gate's dialog lets events run, and the table belongs to the layout.
    const ButtonEntry button = table.at(index);
    const skin::Theme &theme = console.theme();
    if (IsProtectedButton(theme, index) && !PasswordGate(theme))
        return;
    ThemeSound(theme, button.clickSound, false);
    RunCommand(console, button.command);
}

void RunCommand(frmMain &console, const QString &command)
{
    const QString upper = command.toUpper();
    for (const Keyword &keyword : keywords) {
        if (upper == keyword.word) {
            keyword.run(console);
            return;
        }
    }
    OpenCommand(command);
}
