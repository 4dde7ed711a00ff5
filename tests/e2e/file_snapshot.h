#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The files of some folders and files as they are now, to tell later whether each still reads:
// a picture or sound keeps its bytes; an INI file (".skn", ".ini", ".master") keeps every section
// and key it had, and every line of it, as of any INI file found later, is still a blank, a
// comment, a section header or a key=value entry. Values may change: the console writes them.
class FileSnapshot
{
public:
    explicit FileSnapshot(const QStringList &places);

    // The files that no longer read, each with what is wrong.
    QStringList unreadable() const;

private:
    struct Kept
    {
        QByteArray bytes; // of pictures and sounds only
        QList<std::pair<QString, QString>> keys;
    };
    QStringList currentFiles() const;

    QStringList m_places;
    QHash<QString, Kept> m_kept;
};
