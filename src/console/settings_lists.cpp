#include "console/settings_lists.h"

#include "console/settings_entries.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
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
void addSkinFile(QListWidget &list, const QString &fileName)
{
    const QString skinFile = ThemePath() + fileName;
    for (int n = 1;; ++n) {
        const std::optional<QString> entry =
            readIni(QStringLiteral("SECURITY"), console::indexKey(n), skinFile);
        if (!entry)
            return;
        if (n == 1)
            list.addItem(withoutExtension(fileName).toUpper());
        const console::SecurityEntry parts = console::securityEntry(*entry);
        const skin::ButtonLine buttonLine =
            console::readButtonLine(parts.section, parts.number, skinFile);
        auto *item =
            new QListWidgetItem(console::protectionLine(buttonLine.isProtected(), parts.text));
        item->setData(Qt::UserRole, skin::wholeNumber(parts.number));
        list.addItem(item);
    }
}

void fillProtectionList(QListWidget &list, FileListBox &File1)
{
    QString folder = ThemePath();
    if (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        folder.chop(1);
    File1.setPattern(QStringLiteral("*.skn"));
    File1.setPath(folder);
    list.clear();
    for (const QString &fileName : File1.fileNames())
        addSkinFile(list, fileName);
}

void fillSwitchList(QListWidget &list)
{
    list.clear();
    const QString terminalSkin = console::terminalSkinFile();
    for (int n = 1;; ++n) {
        const std::optional<QString> entry =
            readIni(QStringLiteral("GLOBAL"), console::indexKey(n), terminalSkin);
        if (!entry)
            return;
        const QString value =
            readIni(QStringLiteral("DEFAULT"), console::switchKey(*entry), terminalSkin)
                .value_or(QString());
        list.addItem(console::switchLine(value.toUpper() != u"FALSE", *entry));
    }
}

} // namespace

void FillSettingsLists(SkinnedWindow &window, FileListBox &File1)
{
    if (QListWidget *list = window.lstBox(protectionList))
        fillProtectionList(*list, File1);
    if (QListWidget *list = window.lstBox(switchList))
        fillSwitchList(*list);
}

void FillThemeList(SkinnedWindow &window, FileListBox &File1)
{
    QListWidget *list = window.lstBox(themeList);
    if (list)
        list->clear();
    File1.setPattern(QStringLiteral("*.bmp"));
    File1.setPath(programState().ProgramDir + QStringLiteral("\\Themes"));
    if (!list)
        return;
    for (const QString &fileName : File1.fileNames())
        list->addItem(withoutExtension(fileName));
}
