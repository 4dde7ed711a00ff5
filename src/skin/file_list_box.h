#pragma once

#include <QListWidget>
#include <QStringList>

// A file list (File1): the names of the files in one folder that match a pattern, one per line,
// in name order without regard to letter case. Setting the folder or the pattern lists anew.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // folder in the stored form ("\Themes" with backslashes); it is mapped to the disk here.
    void setPath(const QString &folder);

    QString pattern() const { return m_pattern; }
    // A wildcard pattern ("*.skn"), matched without regard to letter case; "*" lists everything.
    void setPattern(const QString &pattern);

    // The listed names, in list order.
    QStringList fileNames() const;

private:
    void refill();

    QString m_path;
    QString m_pattern = QStringLiteral("*");
};
