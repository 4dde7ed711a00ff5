#include "console/setting_editors.h"

#include "console/button_target.h"
#include "console/console_log.h"
#include "console/frm_main.h"
#include "console/settings_entries.h"
#include "console/settings_lists.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "dialogs/frm_select.h"
#include "platform/message_box.h"
#include "skin/theme.h"

#include <QLabel>
#include <QListWidget>

using console::ButtonTarget;
using Field = skin::ButtonLine::Field;

namespace {

const QString promptTitle = QStringLiteral("KESTA Terminal");

std::optional<ButtonTarget> selectedButton(const frmMain &console)
{
    const QLabel *selection = console.lblInfo(0);
    return selection ? console::buttonTarget(selection->text()) : std::nullopt;
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
std::optional<ButtonEdit> selectedEdit(const frmMain &console)
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

QString consoleText(const frmMain &console, const QString &key)
{
    return console.theme().consoleSkin().text(QStringLiteral("DEFAULT"), key, QString());
}

// Runs the protection list's click handler on the edited line, as a click would.
void selectAgain(frmMain &console)
{
    if (QListWidget *list = console.lstBox(1)) {
        list->setCurrentItem(nullptr);
        list->setCurrentRow(console.SelectedLine);
    }
}

void editSound(frmMain &console, Field field)
{
    const std::optional<ButtonEdit> edit = selectedEdit(console);
    if (!edit)
        return;
    const QString entry =
        platform::inputPrompt(consoleText(console, QStringLiteral("msgboxsoundclick")), promptTitle,
                              *edit->line.field(field));
    if (entry.isEmpty() || entry.contains(u','))
        return;
    if (edit->write(field, entry))
        selectAgain(console);
}

} // namespace

void EditCommand(frmMain &console)
{
    const std::optional<ButtonEdit> edit = selectedEdit(console);
    if (!edit)
        return;
    ProgramState &state = programState();
    state.DialogText = edit->line.command();
    showSelectDialog(console.theme());
    if (state.DialogText.isEmpty())
        return;
    if (edit->write(Field::Command, state.DialogText))
        selectAgain(console);
}

void EditClickSound(frmMain &console)
{
    editSound(console, Field::ClickSound);
}

void EditOverSound(frmMain &console)
{
    editSound(console, Field::OverSound);
}

void ToggleProtection(frmMain &console)
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
    QListWidget *list = console.lstBox(1);
    QListWidgetItem *item = list ? list->item(console.SelectedLine) : nullptr;
    if (item && console::isEntryLine(item->text()))
        item->setText(console::protectionLine(protect, console::lineText(item->text())));
    selectAgain(console);
}

void EditVoiceCommand(frmMain &console)
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
    if (QLabel *label = console.lblInfo(6))
        label->setText(entry);
    selectAgain(console);
}

void RestoreDefaults(frmMain &console)
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
    FillSettingsLists(console, *console.File1, theme);
    selectAgain(console);
}

void SaveThemeChoice()
{
    const QString &theme = programState().ThemeName;
    // "\Themes\\" names no theme; the shell would start without one.
    if (theme.isEmpty())
        return;
    if (!settings::save(settings::application, QStringLiteral("Default"),
                        QStringLiteral("ThemeDir"),
                        QStringLiteral("\\Themes\\") + theme + QStringLiteral("\\")))
        qCWarning(lcConsole).noquote()
            << QStringLiteral("the theme %1 was not stored as the shell's theme").arg(theme);
}
