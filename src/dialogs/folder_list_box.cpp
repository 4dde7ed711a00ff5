#include "dialogs/folder_list_box.h"

#include "platform/native_path.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int FolderRole = Qt::UserRole;

QListWidgetItem *folderLine(const QString &folder, const QString &name, int depth)
{
    auto *item = new QListWidgetItem(QString(2 * depth, u' ') + name);
    item->setData(FolderRole, folder);
    return item;
}

} // namespace

FolderListBox::FolderListBox(QWidget *parent)
    : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setPath(item->data(FolderRole).toString()); });
}

bool FolderListBox::setPath(const QString &folder)
{
    const QFileInfo info(platform::nativePath(folder));
    // Not readable or not searchable means the folder cannot be listed: a drive that is not
    // ready, a folder of another user. The list then stays on the folder it shows.
    if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString path = QDir::cleanPath(info.absoluteFilePath());

    clear();
    QStringList chain;
    for (QDir up(path);; up.cdUp()) {
        chain.prepend(up.absolutePath());
        if (up.isRoot())
            break;
    }
    int depth = 0;
    for (const QString &step : std::as_const(chain)) {
        const QString name = QDir(step).isRoot() ? step : QFileInfo(step).fileName();
        addItem(folderLine(step, name, depth++));
    }
    setCurrentRow(count() - 1);
    const QStringList children =
        QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &child : children)
        addItem(folderLine(QDir(path).filePath(child), child, depth));

    m_path = path;
    emit pathChanged(m_path);
    return true;
}

QString FolderListBox::folderAt(int row) const
{
    const QListWidgetItem *line = item(row);
    return line ? line->data(FolderRole).toString() : QString();
}
