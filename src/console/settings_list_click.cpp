#include "console/settings_list_click.h"

#include "console/console_log.h"
#include "console/settings_entries.h"
#include "core/program_state.h"
#include "platform/native_path.h"
#include "skin/image_button.h"
#include "skin/last_input.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"
#include "skin/theme.h"

#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>

namespace {

constexpr int protectionList = 1;
constexpr int themeList = 2;
constexpr int switchList = 3;

void setCaption(const SkinnedWindow &window, int label, const QString &caption)
{
    if (QLabel *element = window.lblInfo(label))
        element->setText(caption);
}

void appendCaption(const SkinnedWindow &window, int label, const std::optional<QString> &text)
{
    QLabel *element = window.lblInfo(label);
    if (element && text)
        element->setText(element->text() + *text);
}

// The skin file a protection line belongs to: the nearest header at or above it.
QString headerAbove(const QListWidget &list, int row)
{
    for (int r = row; r >= 0; --r) {
        const QString line = list.item(r)->text();
        if (!console::isEntryLine(line))
            return line;
    }
    return {};
}

void showProtectionLine(const SkinnedWindow &window, const skin::Theme &theme,
                        const QListWidget &list, int row)
{
    const QListWidgetItem &item = *list.item(row);
    const QString header = headerAbove(list, row);
    const QString number = console::indexKey(item.data(Qt::UserRole).toInt());
    const QString text = console::lineText(item.text());
    const QString section = console::entrySection(text);

    // The label texts come from the console skin alone, never from its override file.
    const skin::ThemeFile consoleSkin = theme.consoleSkin();
    const auto consoleText = [&consoleSkin](const QString &key) {
        return consoleSkin.text(QStringLiteral("DEFAULT"), key, QString());
    };
    setCaption(window, 0, number + u' ' + header + u' ' + section);
    setCaption(window, 1, header + QStringLiteral(" - ") + text);
    setCaption(window, 2,
               consoleText(QStringLiteral("changepassword")) + u' ' +
                   console::lineState(item.text()));
    setCaption(window, 3, consoleText(QStringLiteral("changecommand")) + u' ');
    setCaption(window, 4, consoleText(QStringLiteral("changesoundover")) + u' ');
    setCaption(window, 5, consoleText(QStringLiteral("changesoundclick")) + u' ');
    setCaption(window, 6, theme.voiceCommand(header, number));

    // A button line cut short leaves the captions of the fields it lacks as they are.
    using Field = skin::ButtonLine::Field;
    const skin::ButtonLine line = theme.skinFileOfHeader(header).buttonLine(section, number);
    appendCaption(window, 4, line.field(Field::OverSound));
    appendCaption(window, 5, line.field(Field::ClickSound));
    appendCaption(window, 3, line.field(Field::Command));
}

void showTheme(const SkinnedWindow &window, const skin::Theme &current, const QString &theme)
{
    ProgramState &state = programState();
    const QString preview = current.previewPicture(theme);
    // Index 0 is the hidden template: a skin without a theme picture has nowhere to show it.
    StretchedPicture *picture =
        state.ThemePictureIndex > 0 ? window.imgPic(state.ThemePictureIndex) : nullptr;
    if (picture) {
        QImageReader reader(platform::nativePath(preview));
        reader.setDecideFormatFromContent(true);
        const QImage image = reader.read();
        if (image.isNull())
            qCWarning(lcConsole).noquote() << QStringLiteral("theme preview %1 does not load (%2)")
                                                  .arg(preview, reader.errorString());
        else
            picture->setPicture(QPixmap::fromImage(image));
        picture->setAccessibleName(theme);
    }
    state.ThemeName = theme;
}

void flipSwitch(QListWidgetItem &item, const skin::Theme &theme)
{
    const QString text = console::lineText(item.text());
    const QString key = console::switchKey(text);
    // An entry without a key name has no switch to write; "=value" would only add noise.
    if (key.isEmpty())
        return;
    const bool turnOn = console::lineState(item.text()) == u"OFF";
    // The line shows what terminal.skn holds: a write that failed leaves it unchanged.
    if (theme.shellSkin().write(QStringLiteral("DEFAULT"), key,
                                turnOn ? QStringLiteral("True") : QStringLiteral("False")))
        item.setText(console::switchLine(turnOn, text));
}

// A mouse user's focus goes to the first command button. A keyboard user keeps their place: the
// focus stays where it is, in the list on the line just chosen.
void endClick(const SkinnedWindow &window, QListWidget &list)
{
    list.clearSelection();
    if (skin::lastInputWasKeyboard() && list.hasFocus())
        return;
    if (!skin::lastInputWasKeyboard()) {
        if (ImageButton *button = window.imgBut(1))
            button->setFocus();
    }
    list.setCurrentItem(nullptr);
}

} // namespace

void OnSettingsListClick(SkinnedWindow &window, const skin::Theme &theme, int index,
                         int &SelectedLine)
{
    QListWidget *list = window.lstBox(index);
    if (!list)
        return;
    const int row = list->currentRow();
    if (QListWidgetItem *item = row >= 0 ? list->item(row) : nullptr) {
        const bool isEntry = console::isEntryLine(item->text());
        if (index == protectionList && isEntry) {
            SelectedLine = row;
            showProtectionLine(window, theme, *list, row);
        } else if (index == themeList) {
            showTheme(window, theme, item->text());
        } else if (index == switchList && isEntry) {
            flipSwitch(*item, theme);
        }
    }
    endClick(window, *list);
}

void OnSettingsListDoubleClick(SkinnedWindow &window, int index)
{
    if (QListWidget *list = window.lstBox(index))
        endClick(window, *list);
}
