#include "console/command_click.h"

#include "console/change_password.h"
#include "console/console_log.h"
#include "console/console_view.h"
#include "console/open_command.h"
#include "console/password_gate.h"
#include "console/result_words.h"
#include "console/setting_editors.h"
#include "core/program_state.h"
#include "sound/theme_sound.h"

#include <algorithm>
#include <array>

using console::ConsoleView;

namespace {

void saveThemeChoice(ConsoleView &console)
{
    const QString &theme = programState().ThemeName;
    if (SaveThemeChoice()) {
        console.announce(console::themeAppliedWords(theme));
        return;
    }
    qCWarning(lcConsole).noquote()
        << QStringLiteral("the theme \"%1\" was not stored as the shell's theme").arg(theme);
}

struct Keyword
{
    QStringView word;
    QStringView words; // what a screen reader says for it
    void (*run)(ConsoleView &console);
};

const std::array keywords{
    Keyword{u"PASSWORD", u"Change password",
            [](ConsoleView &console) { console.announce(ChangePassword(console.theme())); }},
    Keyword{u"CHANGECOMMAND", u"Change command", EditCommand},
    Keyword{u"CHANGESECURITY", u"Protect", ToggleProtection},
    Keyword{u"CHANGETHEME", u"Use theme", saveThemeChoice},
    Keyword{u"CHANGESOUNDOVER", u"Change mouse-over sound", EditOverSound},
    Keyword{u"CHANGESOUNDCLICK", u"Change click sound", EditClickSound},
    Keyword{u"CHANGEVOICECONTROL", u"Change voice command", EditVoiceCommand},
    Keyword{u"CHANGEDEFAULT", u"Restore defaults", RestoreDefaults},
    Keyword{u"QUIT", u"Quit", [](ConsoleView &console) { console.EndProgram(); }},
};

// The keyword a command names, compared exactly after upper-casing, without trimming.
const Keyword *keywordOf(const QString &command)
{
    const QString upper = command.toUpper();
    const auto found =
        std::find_if(keywords.cbegin(), keywords.cend(),
                     [&upper](const Keyword &keyword) { return upper == keyword.word; });
    return found == keywords.cend() ? nullptr : &*found;
}

} // namespace

void OnCommandButtonClick(ConsoleView &console, int index)
{
    const ButtonTable &table = programState().consoleButtons;
    if (index < 1 || index > table.count)
        return;
    // A copy: the gate's dialog lets events run, and the table belongs to the layout.
    const ButtonEntry button = table.at(index);
    const skin::Theme &theme = console.theme();
    if (IsProtectedButton(theme, index)) {
        const GateResult gate = PasswordGate(theme);
        // A person who closed the dialog knows why nothing ran.
        if (gate == GateResult::Refused)
            console.announce(console::wrongPasswordWords);
        if (gate != GateResult::Opened)
            return;
    }
    ThemeSound(theme, button.clickSound, false);
    RunCommand(console, button.command);
}

bool IsConsoleCommand(const QString &program)
{
    return keywordOf(program.trimmed()) != nullptr;
}

QString CommandWords(const QString &command)
{
    const Keyword *keyword = keywordOf(command);
    return keyword ? keyword->words.toString() : QString();
}

void RunCommand(ConsoleView &console, const QString &command)
{
    if (const Keyword *keyword = keywordOf(command)) {
        keyword->run(console);
        return;
    }
    OpenCommand(command);
}
