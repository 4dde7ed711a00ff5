#include "file_snapshot.h"

#include "platform/profile_document.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

bool isIni(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"skn"_s || suffix == u"ini"_s || suffix == u"master"_s;
}

QString text(const QByteArray &bytes)
{
    if (bytes.startsWith("\xff\xfe"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.sliced(2));
    return QString::fromUtf8(bytes);
}

// The first line that is neither blank, nor a comment, nor a header, nor an entry.
QString strayLine(const QByteArray &bytes)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    for (const QString &line : text(bytes).split(lineBreak)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[') &&
            !trimmed.contains(u'='))
            return trimmed;
    }
    return {};
}

} // namespace

FileSnapshot::FileSnapshot(const QStringList &places)
    : m_places(places)
{
    for (const QString &path : currentFiles()) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        Kept kept;
        const QByteArray bytes = file.readAll();
        if (!isIni(path)) {
            kept.bytes = bytes;
        } else {
            const platform::ProfileDocument document(bytes);
            for (const QString &section : document.sectionNames()) {
                for (const QString &key : document.keyNames(section).value_or(QStringList()))
                    kept.keys.append({section, key});
            }
        }
        m_kept.insert(path, kept);
    }
}

QStringList FileSnapshot::currentFiles() const
{
    QStringList files;
    for (const QString &place : m_places) {
        if (QFileInfo(place).isFile())
            files.append(place);
        QDirIterator it(place, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            if (const QString path = it.next(); !it.fileInfo().isDir())
                files.append(path);
        }
    }
    return files;
}

QStringList FileSnapshot::unreadable() const
{
    QStringList found;
    for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it) {
        if (!QFileInfo(it.key()).isFile())
            found.append(it.key() + u": gone, or no longer a file"_s);
    }
    for (const QString &path : currentFiles()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            found.append(path + u": does not open"_s);
            continue;
        }
        const QByteArray bytes = file.readAll();
        const auto kept = m_kept.constFind(path);
        if (!isIni(path)) {
            if (kept == m_kept.cend() || kept->bytes != bytes)
                found.append(path + u": not a file of the theme as it was"_s);
            continue;
        }
        if (const QString stray = strayLine(bytes); !stray.isEmpty())
            found.append(path + u": a line that is no entry: "_s + stray.left(80));
        if (kept == m_kept.cend())
            continue;
        const platform::ProfileDocument document(bytes);
        for (const auto &[section, key] : kept->keys) {
            if (!document.value(section, key))
                found.append(path + u": ["_s + section + u"] "_s + key + u" is gone"_s);
        }
    }
    return found;
}
