#include "skin/file_list_box.h"

#include "platform/native_path.h"

#include <QDir>

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{}

void FileListBox::setPath(const QString &folder)
{
    m_path = folder;
    refill();
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refill();
}

QStringList FileListBox::fileNames() const
{
    QStringList names;
    names.reserve(count());
    for (int row = 0; row < count(); ++row)
        names.append(item(row)->text());
    return names;
}

void FileListBox::refill()
{
    clear();
    if (m_path.isEmpty())
        return;
    QDir folder(platform::nativePath(m_path));
    folder.setNameFilters({m_pattern});
    folder.setFilter(QDir::Files | QDir::Hidden);
    // Theme files come from a system that ignores letter case.
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(folder.entryList());
}
