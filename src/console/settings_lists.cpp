#include "console/settings_lists.h"

#include "console/settings_entries.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"
#include "skin/value_forms.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int protectionList = 1;
constexpr int themeList = 2;
constexpr int switchList = 3;

QString withoutExtension(const QString &fileName)
{
    return fileName.chopped(std::min<qsizetype>(4, fileName.size()));
}

// Lists the protectable buttons of one skin file under its header; nothing at all when the
// file has no "SECURITY" entry "01".
void addSkinFile(QListWidget &list, const skin::Theme &theme, const QString &fileName)
{
    const skin::ThemeFile skinFile(theme.file(fileName));
    for (int n = 1;; ++n) {
        const std::optional<QString> entry =
            skinFile.text(QStringLiteral("SECURITY"), console::indexKey(n));
        if (!entry)
            return;
        if (n == 1)
            list.addItem(withoutExtension(fileName).toUpper());
        const console::SecurityEntry parts = console::securityEntry(*entry);
        const skin::ButtonLine buttonLine = skinFile.buttonLine(parts.section, parts.number);
        auto *item =
            new QListWidgetItem(console::protectionLine(buttonLine.isProtected(), parts.text));
        item->setData(Qt::UserRole, skin::wholeNumber(parts.number));
        list.addItem(item);
    }
}

void fillProtectionList(QListWidget &list, FileListBox &File1, const skin::Theme &theme)
{
    QString folder = theme.folder();
    if (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        folder.chop(1);
    File1.setPattern(QStringLiteral("*.skn"));
    File1.setPath(folder);
    list.clear();
    for (const QString &fileName : File1.fileNames())
        addSkinFile(list, theme, fileName);
}

void fillSwitchList(QListWidget &list, const skin::Theme &theme)
{
    list.clear();
    const skin::ThemeFile shellSkin = theme.shellSkin();
    for (int n = 1;; ++n) {
        const std::optional<QString> entry =
            shellSkin.text(QStringLiteral("GLOBAL"), console::indexKey(n));
        if (!entry)
            return;
        // Only "False" is off: a switch the shell reads as a word, not as a Boolean.
        const QString value =
            shellSkin.text(QStringLiteral("DEFAULT"), console::switchKey(*entry), QString());
        list.addItem(console::switchLine(value.toUpper() != u"FALSE", *entry));
    }
}

} // namespace

void FillSettingsLists(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme)
{
    if (QListWidget *list = window.lstBox(protectionList))
        fillProtectionList(*list, File1, theme);
    if (QListWidget *list = window.lstBox(switchList))
        fillSwitchList(*list, theme);
}

void FillThemeList(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme)
{
    QListWidget *list = window.lstBox(themeList);
    if (list)
        list->clear();
    File1.setPattern(QStringLiteral("*.bmp"));
    File1.setPath(theme.themesFolder());
    if (!list)
        return;
    for (const QString &fileName : File1.fileNames())
        list->addItem(withoutExtension(fileName));
}

namespace {

QString lineKey(const QListWidget &list, int row)
{
    const QListWidgetItem *item = list.item(row);
    if (!item)
        return {};
    QString header;
    for (int r = row - 1; r >= 0 && header.isEmpty(); --r) {
        if (!console::isEntryLine(list.item(r)->text()))
            header = list.item(r)->text();
    }
    const QString text =
        console::isEntryLine(item->text()) ? console::lineText(item->text()) : item->text();
    return header + u'\n' + text + u'\n' + item->data(Qt::UserRole).toString();
}

int rowOfKey(const QListWidget &list, const QString &key)
{
    for (int row = 0; !key.isEmpty() && row < list.count(); ++row) {
        if (lineKey(list, row) == key)
            return row;
    }
    return -1;
}

// The handler shows the chosen line in the labels; it also moves the focus and clears the
// selection, which are put back afterwards.
void chooseAgain(SkinnedWindow &window, QListWidget &list, const QString &chosen, int &SelectedLine)
{
    const int row = rowOfKey(list, chosen);
    if (row < 0 || !console::isEntryLine(list.item(row)->text())) {
        SelectedLine = 0;
        for (int label = 0; label <= 6; ++label) {
            if (QLabel *element = window.lblInfo(label))
                element->clear();
        }
        return;
    }
    {
        const QSignalBlocker quiet(&list);
        list.setCurrentItem(nullptr);
    }
    list.setCurrentRow(row);
}

} // namespace

ListPlaces listPlaces(const SkinnedWindow &window, int SelectedLine)
{
    ListPlaces places;
    for (int index = protectionList; index <= switchList; ++index) {
        const QListWidget *list = window.lstBox(index);
        places.lists.append(list ? ListPlaces::Place{list->verticalScrollBar()->value(),
                                                     lineKey(*list, list->currentRow())}
                                 : ListPlaces::Place{});
    }
    if (const QListWidget *list = window.lstBox(protectionList); list && SelectedLine > 0)
        places.chosen = lineKey(*list, SelectedLine);
    for (int index = protectionList; index <= switchList; ++index) {
        if (const QListWidget *list = window.lstBox(index); list && list->hasFocus())
            places.focused = index;
    }
    return places;
}

void restoreListPlaces(SkinnedWindow &window, const ListPlaces &places, int &SelectedLine)
{
    const QPointer<QWidget> focused = window.focusWidget();
    if (QListWidget *list = window.lstBox(protectionList); list && !places.chosen.isEmpty())
        chooseAgain(window, *list, places.chosen, SelectedLine);
    for (int index = protectionList; index <= switchList; ++index) {
        QListWidget *list = window.lstBox(index);
        if (!list || index - 1 >= places.lists.size())
            continue;
        const ListPlaces::Place &place = places.lists.at(index - 1);
        {
            // Selecting a switch line would flip it: nothing is clicked here.
            const QSignalBlocker quiet(list);
            list->setCurrentRow(rowOfKey(*list, place.selected));
        }
        // The scroll range follows the new lines only once they are laid out.
        list->doItemsLayout();
        list->verticalScrollBar()->setValue(place.scroll);
    }
    if (QListWidget *list = places.focused > 0 ? window.lstBox(places.focused) : nullptr)
        list->setFocus();
    else if (focused)
        focused->setFocus();
}

void RefreshSettingsLists(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme,
                          int &SelectedLine)
{
    const ListPlaces places = listPlaces(window, SelectedLine);
    FillSettingsLists(window, File1, theme);
    FillThemeList(window, File1, theme);
    restoreListPlaces(window, places, SelectedLine);
}
