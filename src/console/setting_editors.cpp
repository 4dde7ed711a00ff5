#include "console/setting_editors.h"

#include "console/button_target.h"
#include "console/command_click.h"
#include "console/console_log.h"
#include "console/console_view.h"
#include "console/result_words.h"
#include "console/settings_entries.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "dialogs/frm_select.h"
#include "platform/message_box.h"
#include "skin/theme.h"

#include <QLabel>
#include <QListWidget>

using console::ButtonTarget;
using console::ConsoleView;
using Field = skin::ButtonLine::Field;

namespace {

const QString promptTitle = QStringLiteral("KESTA Terminal");

// The chosen button; with none, the person hears that a line must be chosen first.
std::optional<ButtonTarget> selectedButton(ConsoleView &console)
{
    const QLabel *selection = console.infoLabel(0);
    std::optional<ButtonTarget> target =
        selection ? console::buttonTarget(selection->text()) : std::nullopt;
    if (!target)
        console.announce(console::noButtonChosenWords);
    return target;
}

// Tells what an edit changed in the words the labels now show, or else in the console's own.
void tellEdit(ConsoleView &console, std::initializer_list<int> labels, const QString &otherwise)
{
    QList<const QLabel *> shown;
    for (const int label : labels)
        shown.append(console.infoLabel(label));
    const QString words = console::labelWords(shown);
    console.announce(words.isEmpty() ? otherwise : words);
}

// The selected button's line as an editor changes it: in the override file of the skin file
// the selection names, read from there or else from the skin file itself.
struct ButtonEdit
{
    ButtonTarget target;
    skin::ThemeFile overrideFile;
    skin::ButtonLine line;

    // Writes the line with field replaced by value, keeping every other field.
    [[nodiscard]] bool write(Field field, const QString &value) const
    {
        const std::optional<skin::ButtonLine> changed = line.with(field, value);
        return changed && overrideFile.write(target.section, target.number, changed->text());
    }
};

// The edit of the selected button; std::nullopt when nothing is selected or the line is too
// short to hold every field where the shell reads it.
std::optional<ButtonEdit> selectedEdit(ConsoleView &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return std::nullopt;
    const skin::ThemeFile skinFile = console.theme().skinFileOfHeader(target->header);
    ButtonEdit edit{*target, skinFile.overrideFile(),
                    skinFile.buttonLine(target->section, target->number)};
    if (!edit.line.isComplete())
        return std::nullopt;
    return edit;
}

QString consoleText(const ConsoleView &console, const QString &key)
{
    return console.theme().consoleSkin().text(QStringLiteral("DEFAULT"), key, QString());
}

// A button of the console's own skin never gets a console command from an editor: an unprotected
// command button would otherwise open a protected operation (a "PASSWORD" behind no gate). The
// command the line already holds may stay. The shell's buttons take any program.
ProgramRefusal ownCommandRefusal(const ButtonTarget &target, const QString &current)
{
    if (target.header.compare(programState().SkinName, Qt::CaseInsensitive) != 0)
        return {};
    return [current](const QString &program) {
        const bool refused = IsConsoleCommand(program) &&
                             program.trimmed().compare(current, Qt::CaseInsensitive) != 0;
        return refused ? console::ownButtonCommandWords : QString();
    };
}

// Runs the protection list's click handler on the edited line, as a click would.
void selectAgain(ConsoleView &console)
{
    if (QListWidget *list = console.protectionList()) {
        list->setCurrentItem(nullptr);
        list->setCurrentRow(console.selectedLine());
    }
}

void editSound(ConsoleView &console, Field field)
{
    const bool click = field == Field::ClickSound;
    const std::optional<ButtonEdit> edit = selectedEdit(console);
    if (!edit)
        return;
    const QString entry =
        platform::inputPrompt(consoleText(console, QStringLiteral("msgboxsoundclick")), promptTitle,
                              *edit->line.field(field));
    if (entry.isEmpty() || entry.contains(u','))
        return;
    if (!edit->write(field, entry))
        return;
    selectAgain(console);
    tellEdit(console, {click ? 5 : 4},
             click ? QStringLiteral("Click sound changed")
                   : QStringLiteral("Mouse-over sound changed"));
}

} // namespace

void EditCommand(ConsoleView &console)
{
    const std::optional<ButtonEdit> edit = selectedEdit(console);
    if (!edit)
        return;
    ProgramState &state = programState();
    const QString current = edit->line.command();
    state.DialogText = current;
    showSelectDialog(console.theme(), ownCommandRefusal(edit->target, current));
    if (state.DialogText.isEmpty())
        return;
    if (!edit->write(Field::Command, state.DialogText))
        return;
    selectAgain(console);
    tellEdit(console, {3}, QStringLiteral("Command changed"));
}

void EditClickSound(ConsoleView &console)
{
    editSound(console, Field::ClickSound);
}

void EditOverSound(ConsoleView &console)
{
    editSound(console, Field::OverSound);
}

void ToggleProtection(ConsoleView &console)
{
    const std::optional<ButtonEdit> edit = selectedEdit(console);
    if (!edit)
        return;
    // The flag itself is flipped, judged as the list and the gate judge it, so that every toggle
    // changes what the gate does; a truth word elsewhere in the line (a picture "truecolor.bmp")
    // is none of the toggle's business.
    const bool protect = !edit->line.isProtected();
    // The list line shows what the file holds: a write that failed leaves it as it was.
    if (!edit->write(Field::Flag, protect ? QStringLiteral("true") : QStringLiteral("false")))
        return;
    QListWidget *list = console.protectionList();
    QListWidgetItem *item = list ? list->item(console.selectedLine()) : nullptr;
    if (item && console::isEntryLine(item->text()))
        item->setText(console::protectionLine(protect, console::lineText(item->text())));
    selectAgain(console);
    tellEdit(console, {2}, console::protectionWords(protect));
}

void EditVoiceCommand(ConsoleView &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const skin::Theme &theme = console.theme();
    const QString entry =
        platform::inputPrompt(consoleText(console, QStringLiteral("msgboxvoicecontrol")),
                              promptTitle, theme.voiceCommand(target->header, target->number));
    if (entry.isEmpty() || !theme.voiceFile().write(target->header, target->number, entry))
        return;
    if (QLabel *label = console.infoLabel(6))
        label->setText(entry);
    selectAgain(console);
    tellEdit(console, {6}, QStringLiteral("Voice command changed"));
}

void RestoreDefaults(ConsoleView &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const skin::Theme &theme = console.theme();
    // A line or voice command that is not there is no failure; one that could not be removed
    // still shows, as the lists show what the files hold.
    const skin::ThemeFile overrides = theme.skinFileOfHeader(target->header).overrideFile();
    if (!overrides.removeQuietly(target->section, target->number))
        qCWarning(lcConsole).noquote()
            << QStringLiteral("the line %1 of [%2] in %3 was not removed")
                   .arg(target->number, target->section, overrides.path());
    if (!theme.voiceFile().removeQuietly(target->header, target->number))
        qCWarning(lcConsole).noquote()
            << QStringLiteral("the voice command %1 of [%2] was not removed")
                   .arg(target->number, target->header);
    console.refillSettingsLists();
    selectAgain(console);
    tellEdit(console, {1, 2, 3, 4, 5, 6}, QStringLiteral("Defaults restored"));
}

bool SaveThemeChoice()
{
    const QString &theme = programState().ThemeName;
    // "\Themes\\" names no theme; the shell would start without one.
    return !theme.isEmpty() &&
           settings::save(settings::application, QStringLiteral("Default"),
                          QStringLiteral("ThemeDir"),
                          QStringLiteral("\\Themes\\") + theme + QStringLiteral("\\"));
}
