#include "console/setting_editors.h"

#include "console/button_line_edit.h"
#include "console/frm_main.h"
#include "console/settings_entries.h"
#include "console/settings_lists.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "dialogs/frm_select.h"
#include "platform/message_box.h"
#include "skin/button_line.h"
#include "skin/theme_paths.h"

#include <QLabel>
#include <QListWidget>

using console::ButtonField;
using console::ButtonTarget;

namespace {

const QString promptTitle = QStringLiteral("KESTA Terminal");

std::optional<ButtonTarget> selectedButton(const frmMain &console)
{
    const QLabel *selection = console.lblInfo(0);
    return selection ? console::buttonTarget(selection->text()) : std::nullopt;
}

QString skinFileOf(const ButtonTarget &target)
{
    return console::skinFileOfHeader(target.header);
}

QString voiceFile()
{
    return ThemePath() + QStringLiteral("voicecontrol.ini");
}

QString buttonLineOf(const ButtonTarget &target)
{
    return console::readButtonLine(target.section, target.number, skinFileOf(target));
}

bool writeButtonLine(const ButtonTarget &target, const QString &line)
{
    return WriteINI(target.section, target.number, line,
                    skin::overrideFilePath(skinFileOf(target)));
}

QString consoleText(const QString &key)
{
    return readIni(QStringLiteral("DEFAULT"), key, console::consoleSkinFile()).value_or(QString());
}

// Runs the protection list's click handler on the edited line, as a click would.
void selectAgain(frmMain &console)
{
    if (QListWidget *list = console.lstBox(1)) {
        list->setCurrentItem(nullptr);
        list->setCurrentRow(console.SelectedLine);
    }
}

// Writes line with field replaced by value and selects the line again. Nothing when the line is
// too short to hold the field where the shell reads it.
void writeField(frmMain &console, const ButtonTarget &target, const QString &line,
                ButtonField field, const QString &value)
{
    const std::optional<QString> changed = console::withButtonField(line, field, value);
    if (!changed)
        return;
    writeButtonLine(target, *changed);
    selectAgain(console);
}

void editSound(frmMain &console, ButtonField field)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const QString line = buttonLineOf(*target);
    const console::ButtonFields fields = console::buttonFields(line);
    if (!fields.command)
        return;
    const QString current =
        field == ButtonField::ClickSound ? *fields.clickSound : *fields.overSound;
    const QString entry = platform::inputPrompt(consoleText(QStringLiteral("msgboxsoundclick")),
                                                promptTitle, current);
    if (entry.isEmpty() || entry.contains(u','))
        return;
    writeField(console, *target, line, field, entry);
}

} // namespace

void EditCommand(frmMain &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const QString line = buttonLineOf(*target);
    const std::optional<QString> command = console::buttonFields(line).command;
    if (!command)
        return;
    ProgramState &state = programState();
    state.DialogText = *command;
    showSelectDialog();
    if (state.DialogText.isEmpty())
        return;
    writeField(console, *target, line, ButtonField::Command, state.DialogText);
}

void EditClickSound(frmMain &console)
{
    editSound(console, ButtonField::ClickSound);
}

void EditOverSound(frmMain &console)
{
    editSound(console, ButtonField::OverSound);
}

void ToggleProtection(frmMain &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const QString line = buttonLineOf(*target);
    const console::ButtonFields fields = console::buttonFields(line);
    if (!fields.command)
        return;
    // The flag itself is flipped, judged as the list and the gate judge it, so that every toggle
    // changes what the gate does; a truth word elsewhere in the line (a picture "truecolor.bmp")
    // is none of the toggle's business.
    const bool protect = !skin::isProtectedButtonLine(line);
    const std::optional<QString> changed = console::withButtonField(
        line, ButtonField::Flag, protect ? QStringLiteral("true") : QStringLiteral("false"));
    // The list line shows what the file holds: a write that failed leaves it as it was.
    if (changed && writeButtonLine(*target, *changed)) {
        QListWidget *list = console.lstBox(1);
        QListWidgetItem *item = list ? list->item(console.SelectedLine) : nullptr;
        if (item && console::isEntryLine(item->text()))
            item->setText(console::protectionLine(protect, console::lineText(item->text())));
    }
    selectAgain(console);
}

void EditVoiceCommand(frmMain &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    QString current = readIni(target->header, target->number, voiceFile()).value_or(QString());
    if (current.isEmpty())
        current = readIni(target->header, target->number,
                          ThemePath() + QStringLiteral("voicecontrol.master"))
                      .value_or(QString());
    const QString entry = platform::inputPrompt(consoleText(QStringLiteral("msgboxvoicecontrol")),
                                                promptTitle, current);
    if (entry.isEmpty())
        return;
    WriteINI(target->header, target->number, entry, voiceFile());
    if (QLabel *label = console.lblInfo(6))
        label->setText(entry);
    selectAgain(console);
}

void RestoreDefaults(frmMain &console)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    DeleteINI(skin::overrideFilePath(skinFileOf(*target)), target->section, target->number, true,
              true);
    DeleteINI(voiceFile(), target->header, target->number, true, true);
    FillSettingsLists(console, *console.File1);
    selectAgain(console);
}

void SaveThemeChoice()
{
    const QString &theme = programState().ThemeName;
    // "\Themes\\" names no theme; the shell would start without one.
    if (theme.isEmpty())
        return;
    settings::save(settings::application, QStringLiteral("Default"), QStringLiteral("ThemeDir"),
                   QStringLiteral("\\Themes\\") + theme + QStringLiteral("\\"));
}
