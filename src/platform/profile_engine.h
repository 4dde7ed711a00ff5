#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The profile functions the console and the shell share their INI files through. They behave
// as the Windows functions GetPrivateProfileString and WritePrivateProfileString do (see
// ProfileDocument for the dialect), with these differences, all safer:
// - a write takes the file's lock, shared by every process of the user (ProfileLock), reads the
//   file as it stands under it, changes only its own key and replaces the file atomically: another
//   process's change made meanwhile survives, and a process killed while writing leaves the old
//   file or the new one. The file must be the same before, during and after the read and again
//   just before the rename, and a file that a writer without the lock changed a moment ago is left
//   to settle first: otherwise the write reads again, a few times, then fails with nothing written;
// - it changes the file at the end of any chain of symbolic links, and only a file that is the
//   user's to change: another user's file and a read-only one are refused (see replaceFile);
// - deleting from a file that does not exist creates no file;
// - text that would break the file's structure (a line break in any argument, "]" in a section
//   name, "=" or a leading ";" or "[" in a key name) or read back as other text (a NUL, a TAB or
//   VT at the ends of a name, half a surrogate pair, a byte-order mark) is refused instead of
//   written.
// In preview mode (platform/preview_mode.h) writes and deletes touch no file: each is logged
// and succeeds, and later lookups of this process see what it would have written.
// A parsed file is kept until its size, time or identity changes, so reading many keys of one
// file parses it once, and a change by another process is seen on the next read.
namespace platform {

struct ProfileRead
{
    QString text;        // the value, or the default when the file, section or key is missing
    bool failed = false; // the file exists but could not be read
    QString error;
};

struct ProfileValue
{
    std::optional<QString> value; // with one pair of enclosing quotes removed, cut at a NUL
    bool failed = false;          // the file exists but could not be read
    QString error;
};

// The value of key in [section] of the file at path (a stored path: see nativePath); no value
// when the file, the section or the key is missing.
ProfileValue lookupProfileValue(const QString &section, const QString &key, const QString &path);

// The value of key in [section] of the file at path (a stored path: see nativePath), with one
// pair of enclosing quotes removed, cut at its first NUL and to bufferSize - 1 characters; or
// defaultValue without its trailing spaces, cut the same way.
ProfileRead getProfileString(const QString &section, const QString &key,
                             const QString &defaultValue, int bufferSize, const QString &path);

class ProfileDocument;

// One version of a profile file, parsed once, for a reader that looks at many of its keys and
// wants them all from the same text (a theme checker): its reads never touch the disk again and
// never see what preview mode holds back.
class ProfileSnapshot
{
public:
    ProfileSnapshot() = default; // a missing file
    ProfileSnapshot(std::shared_ptr<const ProfileDocument> document, bool failed, QString error);

    // The file read; false when it is missing or failed() (a folder, a pipe, unreadable).
    bool exists() const { return m_document != nullptr; }
    bool failed() const { return m_failed; }
    const QString &error() const { return m_error; }
    // nullptr unless exists().
    const ProfileDocument *document() const { return m_document.get(); }

    // lookupProfileValue() and getProfileString() on this version of the file.
    ProfileValue value(const QString &section, const QString &key) const;
    ProfileRead read(const QString &section, const QString &key, const QString &defaultValue,
                     int bufferSize) const;

private:
    std::shared_ptr<const ProfileDocument> m_document;
    bool m_failed = false;
    QString m_error;
};

// The file at path (a stored path) as it is on disk now.
ProfileSnapshot profileSnapshot(const QString &path);

// Where things are in the file at path, for messages that name a line: the line (1 for the
// first) that holds the key a read finds, the keys of a section in file order, the sections.
// Nothing when the file, the section or the key is missing or the file does not read.
std::optional<int> profileKeyLine(const QString &section, const QString &key, const QString &path);
std::optional<QStringList> profileKeyNames(const QString &section, const QString &path);
QStringList profileSectionNames(const QString &path);

struct ProfileWrite
{
    bool ok = false;
    QString error; // why it failed, for a warning
};

// Who may read and write a file that a write creates: whoever the umask lets, or its owner alone.
enum class NewFileAccess
{
    AsUmaskAllows,
    OwnerOnly
};

// Writes key=value into [section]. With no value the key is deleted; with neither key nor value
// the whole section is. Missing sections and files are created (the folder must exist).
[[nodiscard]] ProfileWrite writeProfileString(const QString &section,
                                              const std::optional<QString> &key,
                                              const std::optional<QString> &value,
                                              const QString &path,
                                              NewFileAccess access = NewFileAccess::AsUmaskAllows);

// The text to write so that a read gives value back exactly: a read trims blanks around a value
// and takes off one pair of enclosing quotes, so a value that would lose something that way is
// written inside one more pair of quotes.
[[nodiscard]] QString valueThatReadsBack(const QString &value);

// Deletes the file under the same lock as writes; a missing file is no failure.
[[nodiscard]] ProfileWrite deleteProfileFile(const QString &path);

// Runs work while holding the write lock of the file at path (a stored path), as a program that
// changes the file itself should: no write of this system comes between its read and its write,
// and none takes its change for one still in progress. False, with the reason, when the lock
// cannot be taken; work is then not run.
[[nodiscard]] ProfileWrite withProfileLock(const QString &path, const std::function<void()> &work);

struct ProfileCounts
{
    quint64 lookups = 0; // values looked up (getProfileString, lookupProfileValue)
    quint64 parses = 0;  // files parsed from disk, for reads and writes alike
};

// What this process has asked of profile files so far; lets a benchmark see how often the
// parsed-file cache spares a parse.
ProfileCounts profileCounts();

} // namespace platform
