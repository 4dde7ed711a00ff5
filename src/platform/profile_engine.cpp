#include "platform/profile_engine.h"

#include "platform/atomic_file.h"
#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/platform_log.h"
#include "platform/preview_mode.h"
#include "platform/profile_document.h"
#include "platform/profile_lock.h"
#include "platform/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

struct CachedDocument
{
    FileStamp stamp;
    std::shared_ptr<const ProfileDocument> document;
};

ProfileCounts counts;

// The writes a preview held back, by file: what this process reads in place of the file's own
// text. A key of a whole section or file that was deleted has no value.
QHash<QString, std::optional<QString>> &heldWrites()
{
    static QHash<QString, std::optional<QString>> held;
    return held;
}

QString heldKey(const QString &file, const QString &section = {}, const QString &key = {})
{
    return file + u'\n' + section.trimmed().toLower() + u'\n' + key.trimmed().toLower();
}

// What a held write gave this key: its text, no value when the key, its section or its file
// went, std::nullopt when nothing held touches it.
std::optional<std::optional<QString>> heldValue(const QString &file, const QString &section,
                                                const QString &key)
{
    const QHash<QString, std::optional<QString>> &held = heldWrites();
    for (const QString &where :
         {heldKey(file, section, key), heldKey(file, section), heldKey(file)})
        if (const auto found = held.constFind(where); found != held.constEnd())
            return *found;
    return std::nullopt;
}

// Tells a write that a preview holds back (never its value: a password may be among them).
ProfileWrite holdWrite(const QString &file, const QString &section,
                       const std::optional<QString> &key, const std::optional<QString> &value)
{
    const QString what = !key    ? QStringLiteral("delete [%1]").arg(section)
                         : value ? QStringLiteral("write [%1] %2").arg(section, *key)
                                 : QStringLiteral("delete [%1] %2").arg(section, *key);
    qCInfo(lcPlatform).noquote() << QStringLiteral("preview: would %1 in %2").arg(what, file);
    heldWrites().insert(heldKey(file, section, key.value_or(QString())), value);
    return {true, {}};
}

QHash<QString, CachedDocument> &documentCache()
{
    static QHash<QString, CachedDocument> cache;
    return cache;
}

enum class Load
{
    Loaded,
    Missing,
    Failed
};

struct Loaded
{
    Load state = Load::Missing;
    std::shared_ptr<const ProfileDocument> document;
    QString error;
};

// Reads the file as it is on disk now; the stamp is taken from the open file, so the cache
// never pairs one version's stamp with another version's text.
Loaded loadFromDisk(const QString &file)
{
    // Opening a pipe blocks until something writes to it: a theme must not hang the console.
    if (isSpecialFile(file))
        return {Load::Failed, nullptr, QStringLiteral("not a regular file")};
    QFile device(file);
    if (!device.open(QIODevice::ReadOnly)) {
        if (!device.exists())
            return {};
        return {Load::Failed, nullptr, device.errorString()};
    }
    const std::optional<FileStamp> stamp = stampOfOpenFile(device);
    if (!stamp || stamp->isFolder)
        return {Load::Failed, nullptr, QStringLiteral("not a file")};
    const QByteArray bytes = device.readAll();
    if (device.error() != QFileDevice::NoError)
        return {Load::Failed, nullptr, device.errorString()};
    auto document = std::make_shared<const ProfileDocument>(bytes);
    ++counts.parses;
    QHash<QString, CachedDocument> &cache = documentCache();
    if (cache.size() > 256)
        cache.clear(); // a bound for themes with very many files; the cache refills
    cache.insert(file, {*stamp, document});
    return {Load::Loaded, document, {}};
}

// stamp: what lies at file now, when the caller has just looked.
Loaded load(const QString &file, const std::optional<FileStamp> &stamp)
{
    if (!stamp) {
        documentCache().remove(file);
        return {};
    }
    const auto cached = documentCache().constFind(file);
    if (cached != documentCache().constEnd() && cached->stamp == *stamp)
        return {Load::Loaded, cached->document, {}};
    return loadFromDisk(file);
}

QString cutToBuffer(QString text, int bufferSize)
{
    if (bufferSize <= 0)
        return {};
    if (text.size() >= bufferSize)
        text.truncate(bufferSize - 1);
    return text;
}

QString withoutEnclosingQuotes(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == u'"' || value.front() == u'\''))
        return value.mid(1, value.size() - 2);
    return value;
}

// The profile functions hand a value over as a C string: it ends at its first NUL.
QString cutAtNul(QString text)
{
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);
    return text;
}

QString withoutTrailingSpaces(QString text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

QString withoutEdgeSpaces(QString name)
{
    while (name.startsWith(u' '))
        name.remove(0, 1);
    while (name.endsWith(u' '))
        name.chop(1);
    return name;
}

// A name is looked up with only its spaces trimmed, but read from the file with TABs and VTs
// trimmed as well; a NUL would end it where the reader's C string ends.
bool nameReadsBack(const QString &name)
{
    const QString trimmed = withoutEdgeSpaces(name);
    const auto blank = [](QChar c) { return c == u'\t' || c == u'\v'; };
    return !hasLineBreak(trimmed) && !trimmed.contains(QChar(0)) &&
           (trimmed.isEmpty() || (!blank(trimmed.front()) && !blank(trimmed.back())));
}

// A byte-order mark reads as the mark of a file, not as text, where the file starts, and the
// decoders of command lines and of most text drop it at the start of a string.
bool holdsMark(const std::optional<QString> &text)
{
    return text && text->contains(QChar(0xFEFF));
}

// Names and values that would change the file's structure, or read back as other text, when
// written verbatim.
QString refusal(const QString &section, const std::optional<QString> &key,
                const std::optional<QString> &value)
{
    if (holdsMark(section) || holdsMark(key) || holdsMark(value))
        return QStringLiteral(
            "the text holds a byte-order mark (U+FEFF), which reads back as no text");
    if (!nameReadsBack(section) || section.contains(u']'))
        return QStringLiteral("section name would not read back");
    if (key) {
        const QString name = withoutEdgeSpaces(*key);
        if (!nameReadsBack(name) || name.contains(u'=') || name.startsWith(u';') ||
            name.startsWith(u'['))
            return QStringLiteral("key name would not read back");
    }
    if (value && hasLineBreak(*value))
        return QStringLiteral("value holds a line break");
    if (value && value->contains(QChar(0)))
        return QStringLiteral("value holds a NUL character, where a read would end it");
    return {};
}

std::shared_ptr<const ProfileDocument> documentAt(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    std::optional<FileStamp> stamp;
    const QString file = nativePath(path, &stamp);
    const Loaded loaded = load(file, stamp);
    return loaded.state == Load::Loaded ? loaded.document : nullptr;
}

// How many times a write reads the file again because it changed before the write was done.
constexpr int writeTries = 5;
// A writer that holds no lock may truncate the file and write it a moment later; a file changed
// this recently by anyone but a holder of the lock is left to settle before a write builds on it,
// and one that such a writer emptied, which is most likely being rewritten, a while longer.
constexpr qint64 settleNs = 100'000'000;
constexpr qint64 emptiedSettleNs = 1'000'000'000;

qint64 nowNs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Current
{
    enum State
    {
        Read,
        Missing,
        Changed, // the file changed while it was read: no basis for a write
        Failed
    } state = Missing;
    std::optional<FileVersion> version;
    QString error;
};

Current failedRead(const QString &why)
{
    return {Current::Failed, std::nullopt, why};
}

bool readAll(int handle, QByteArray &bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t size = ::read(handle, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0)
            return size == 0;
        bytes.append(buffer, size);
    }
}

// Whether a file that was just changed by a writer without the lock stays as it is a while.
bool hasSettled(const QString &file, const FileStamp &stamp, const ProfileLock &lock)
{
    if (lock.lastWritten() == stamp)
        return true;
    const qint64 window = stamp.size == 0 ? emptiedSettleNs : settleNs;
    const qint64 age = nowNs() - stamp.modifiedNs;
    if (age >= window)
        return true;
    QThread::usleep(
        static_cast<unsigned long>(std::clamp(window - age, qint64(1000000), window) / 1000));
    return stampOfPath(file) == stamp;
}

// The file as it stands, read under its lock: the same version before, during and after the
// read, still the one at its name, and not one a writer without the lock is in the middle of.
Current readForWrite(const QString &file, const ProfileLock &lock)
{
    const int handle =
        ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return errno == ENOENT ? Current{} : failedRead(systemError());
    const auto closeHandle = qScopeGuard([handle] { ::close(handle); });
    const std::optional<FileStamp> before = stampOfDescriptor(handle);
    if (!before || !before->isRegular)
        return failedRead(QStringLiteral("not a regular file"));
    FileVersion version;
    version.bytes.reserve(before->size);
    if (!readAll(handle, version.bytes))
        return failedRead(systemError());
    const std::optional<FileStamp> after = stampOfDescriptor(handle);
    if (!after || *after != *before || stampOfPath(file) != *after ||
        !hasSettled(file, *after, lock))
        return {Current::Changed, std::nullopt, {}};
    version.stamp = *after;
    return {Current::Read, version, {}};
}

// The file with the write applied to it; std::nullopt when the text cannot be stored exactly.
std::optional<QByteArray> edited(const QByteArray &bytes, const QString &section,
                                 const std::optional<QString> &key,
                                 const std::optional<QString> &value)
{
    const ProfileDocument document(bytes);
    ++counts.parses;
    if (!key)
        return document.withoutSection(section);
    if (!value)
        return document.withoutKey(section, *key);
    return document.withValue(section, *key, *value);
}

} // namespace

namespace {

ProfileValue valueIn(const ProfileDocument &document, const QString &section, const QString &key)
{
    const std::optional<QString> value = document.value(section, key);
    if (!value)
        return {};
    return {cutAtNul(withoutEnclosingQuotes(*value)), false, {}};
}

ProfileRead readOf(const ProfileValue &found, const QString &defaultValue, int bufferSize)
{
    if (found.value)
        return {cutToBuffer(*found.value, bufferSize), false, {}};
    return {cutToBuffer(withoutTrailingSpaces(defaultValue), bufferSize), found.failed,
            found.error};
}

} // namespace

ProfileValue lookupProfileValue(const QString &section, const QString &key, const QString &path)
{
    ++counts.lookups;
    if (path.isEmpty())
        return {};
    std::optional<FileStamp> stamp;
    const QString file = nativePath(path, &stamp);
    if (previewMode()) {
        if (const auto held = heldValue(file, section, key))
            return {held->has_value() ? std::optional(cutAtNul(withoutEnclosingQuotes(**held)))
                                      : std::nullopt,
                    false,
                    {}};
    }
    const Loaded loaded = load(file, stamp);
    if (loaded.state == Load::Failed)
        return {std::nullopt, true, loaded.error};
    if (loaded.state == Load::Missing)
        return {};
    return valueIn(*loaded.document, section, key);
}

ProfileRead getProfileString(const QString &section, const QString &key,
                             const QString &defaultValue, int bufferSize, const QString &path)
{
    return readOf(lookupProfileValue(section, key, path), defaultValue, bufferSize);
}

ProfileSnapshot::ProfileSnapshot(std::shared_ptr<const ProfileDocument> document, bool failed,
                                 QString error)
    : m_document(std::move(document))
    , m_failed(failed)
    , m_error(std::move(error))
{}

ProfileValue ProfileSnapshot::value(const QString &section, const QString &key) const
{
    ++counts.lookups;
    if (m_failed)
        return {std::nullopt, true, m_error};
    return m_document ? valueIn(*m_document, section, key) : ProfileValue();
}

ProfileRead ProfileSnapshot::read(const QString &section, const QString &key,
                                  const QString &defaultValue, int bufferSize) const
{
    return readOf(value(section, key), defaultValue, bufferSize);
}

ProfileSnapshot profileSnapshot(const QString &path)
{
    if (path.isEmpty())
        return {};
    std::optional<FileStamp> stamp;
    const QString file = nativePath(path, &stamp);
    const Loaded loaded = load(file, stamp);
    return {loaded.document, loaded.state == Load::Failed, loaded.error};
}

ProfileWrite writeProfileString(const QString &section, const std::optional<QString> &key,
                                const std::optional<QString> &value, const QString &path,
                                NewFileAccess access)
{
    if (path.isEmpty())
        return {false, QStringLiteral("no file name")};
    if (const QString why = refusal(section, key, value); !why.isEmpty())
        return {false, why};
    // Whatever it did, what a pass saw of the disk may be old now.
    const auto forgetLooks = qScopeGuard(&OneLookPerFile::forget);
    const QString file = nativePath(path);
    if (previewMode())
        return holdWrite(file, section, key, value);
    if (!value && !QFileInfo::exists(file)) // deleting from a missing file creates nothing
        return {true, {}};
    const ResolvedFile target = resolvedFile(file);
    if (!target.error.isEmpty())
        return {false, target.error};
    const ProfileLock lock(target.path);
    if (!lock.isLocked())
        return {false, lock.error()};
    removeAbandonedReplacements(target.path);
    for (int attempt = 0; attempt < writeTries; ++attempt) {
        const Current current = readForWrite(target.path, lock);
        if (current.state == Current::Failed)
            return {false, current.error};
        if (current.state == Current::Changed)
            continue;
        if (!current.version && !value) // deleting from a missing file creates nothing
            return {true, {}};
        if (current.version) {
            if (const QString why = whyNotOurs(current.version->stamp); !why.isEmpty())
                return {false, why};
        }
        const std::optional<QByteArray> bytes =
            edited(current.version ? current.version->bytes : QByteArray(), section, key, value);
        if (!bytes)
            return {false, QStringLiteral("the text cannot be stored exactly in this file")};
        if (current.version && *bytes == current.version->bytes)
            return {true, {}};
        const Replacement replaced = replaceFile(target.path, current.version, *bytes,
                                                 access == NewFileAccess::OwnerOnly ? 0600 : 0666);
        if (replaced.outcome == Replacement::Stale)
            continue;
        documentCache().remove(file);
        if (replaced.outcome == Replacement::Failed)
            return {false, replaced.error};
        lock.recordWritten(replaced.written);
        return {true, {}};
    }
    return {false, QStringLiteral("the file kept changing while it was being written")};
}

QString valueThatReadsBack(const QString &value)
{
    if (value.isEmpty())
        return value;
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; };
    const auto isQuote = [](QChar c) { return c == u'"' || c == u'\''; };
    const bool needsQuotes = isBlank(value.front()) || isBlank(value.back()) ||
                             isQuote(value.front()) || isQuote(value.back());
    return needsQuotes ? u'"' + value + u'"' : value;
}

ProfileWrite deleteProfileFile(const QString &path)
{
    const auto forgetLooks = qScopeGuard(&OneLookPerFile::forget);
    const QString file = nativePath(path);
    if (previewMode()) {
        qCInfo(lcPlatform).noquote() << QStringLiteral("preview: would delete %1").arg(file);
        heldWrites().insert(heldKey(file), std::nullopt);
        return {true, {}};
    }
    const ResolvedFile target = resolvedFile(file);
    const ProfileLock lock(target.error.isEmpty() ? target.path : file);
    if (!lock.isLocked())
        return {false, lock.error()};
    documentCache().remove(file);
    const std::optional<FileStamp> stamp = stampOfPath(file);
    if (const QString why = stamp ? whyNotOurs(*stamp) : QString(); !why.isEmpty())
        return {false, why};
    if (::unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT)
        return {false, systemError()};
    lock.recordWritten(std::nullopt);
    return {true, {}};
}

ProfileWrite withProfileLock(const QString &path, const std::function<void()> &work)
{
    const auto forgetLooks = qScopeGuard(&OneLookPerFile::forget);
    const QString file = nativePath(path);
    const ResolvedFile target = resolvedFile(file);
    if (!target.error.isEmpty())
        return {false, target.error};
    const ProfileLock lock(target.path);
    if (!lock.isLocked())
        return {false, lock.error()};
    work();
    documentCache().remove(file);
    lock.recordWritten(stampOfPath(target.path));
    return {true, {}};
}

std::optional<int> profileKeyLine(const QString &section, const QString &key, const QString &path)
{
    const auto document = documentAt(path);
    return document ? document->keyLine(section, key) : std::nullopt;
}

std::optional<QStringList> profileKeyNames(const QString &section, const QString &path)
{
    const auto document = documentAt(path);
    return document ? document->keyNames(section) : std::nullopt;
}

QStringList profileSectionNames(const QString &path)
{
    const auto document = documentAt(path);
    return document ? document->sectionNames() : QStringList();
}

ProfileCounts profileCounts()
{
    return counts;
}

} // namespace platform
