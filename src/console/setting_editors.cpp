#include "console/setting_editors.h"

#include "console/button_target.h"
#include "console/frm_main.h"
#include "console/settings_entries.h"
#include "console/settings_lists.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "dialogs/frm_select.h"
#include "platform/message_box.h"
#include "skin/theme_paths.h"

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

QString skinFileOf(const ButtonTarget &target)
{
    return console::skinFileOfHeader(target.header);
}

QString voiceFile()
{
    return ThemePath() + QStringLiteral("voicecontrol.ini");
}

skin::ButtonLine buttonLineOf(const ButtonTarget &target)
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
void writeField(frmMain &console, const ButtonTarget &target, const skin::ButtonLine &line,
                Field field, const QString &value)
{
    const std::optional<skin::ButtonLine> changed = line.with(field, value);
    if (!changed)
        return;
    writeButtonLine(target, changed->text());
    selectAgain(console);
}

void editSound(frmMain &console, Field field)
{
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const skin::ButtonLine line = buttonLineOf(*target);
    if (!line.isComplete())
        return;
    const QString entry = platform::inputPrompt(consoleText(QStringLiteral("msgboxsoundclick")),
                                                promptTitle, *line.field(field));
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
    const skin::ButtonLine line = buttonLineOf(*target);
    if (!line.isComplete())
        return;
    ProgramState &state = programState();
    state.DialogText = line.command();
    showSelectDialog();
    if (state.DialogText.isEmpty())
        return;
    writeField(console, *target, line, Field::Command, state.DialogText);
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
    const std::optional<ButtonTarget> target = selectedButton(console);
    if (!target)
        return;
    const skin::ButtonLine line = buttonLineOf(*target);
    // The flag itself is flipped, judged as the list and the gate judge it, so that every toggle
    // changes what the gate does; a truth word elsewhere in the line (a picture "truecolor.bmp")
    // is none of the toggle's business.
    const bool protect = !line.isProtected();
    const std::optional<skin::ButtonLine> changed =
        line.with(Field::Flag, protect ? QStringLiteral("true") : QStringLiteral("false"));
    if (!changed)
        return;
    // The list line shows what the file holds: a write that failed leaves it as it was.
    if (writeButtonLine(*target, changed->text())) {
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
