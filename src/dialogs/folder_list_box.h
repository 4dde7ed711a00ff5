#pragma once

#include <QListWidget>
#include <QString>

// A folder list (Dir1): the folders from the root down to the open folder, then the open
// folder's sub-folders in name order without regard to case, one per line and indented by
// depth. Activating a line (double click or Enter) opens its folder.
class FolderListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderListBox(QWidget *parent = nullptr);

    // The open folder: an absolute path on this disk without "." or ".." ("/usr/bin"); empty
    // until a folder has been opened.
    QString path() const { return m_path; }

    // Opens folder, a path on this disk or in the stored form ("\" separators, letter case not
    // counting) and lists it; pathChanged() follows. False, with the list and path() as they
    // were, when folder is no folder or cannot be listed.
    bool setPath(const QString &folder);

    // The folder of line row; empty when there is no such line.
    QString folderAt(int row) const;

signals:
    // A folder was opened, by setPath() or by activating a line.
    void pathChanged(const QString &path);

private:
    QString m_path;
};
