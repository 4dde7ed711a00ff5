#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

class QFile;
class QString;

namespace platform {

// What tells one version of a file from another without reading it: a file rewritten in place
// changes its size or time, a file replaced by another gets a new identity.
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool isFolder = false;
    bool isRegular = false; // neither a folder nor a pipe, socket or device
    // Who may write it: a change of these also changes changedNs.
    quint32 owner = 0;
    quint32 group = 0;
    quint32 mode = 0; // the permission bits
    quint32 links = 1;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;

    // One line of text that fromText() turns back into the same stamp.
    QByteArray toText() const;
    static std::optional<FileStamp> fromText(QByteArrayView text);
};

// std::nullopt when nothing exists at the path.
std::optional<FileStamp> stampOfPath(const QString &path);
// The stamp of an open file descriptor.
std::optional<FileStamp> stampOfDescriptor(int descriptor);

// True when something exists at path (links followed) that is neither a regular file nor a
// folder: a pipe, a socket or a device, whose reading could block or never end.
bool isSpecialFile(const QString &path);
// Why what lies at path cannot be read as a file, in a few words for a message: "is a folder",
// "is a link loop", "is a link to nothing", "is a pipe, socket or device". Empty for a regular
// file (links followed) and where nothing is at the path at all.
QString whyNotAFile(const QString &path);
std::optional<FileStamp> stampOfOpenFile(QFile &file);

} // namespace platform
