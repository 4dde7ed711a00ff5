#include "console/settings_lists.h"

#include "console/settings_entries.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"
#include "skin/value_forms.h"

#include <QListWidget>

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
