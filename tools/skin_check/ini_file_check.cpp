#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/profile_document.h"
#include "platform/profile_engine.h"
#include "skin/theme_file.h"
#include "theme_check.h"

#include <QHash>

namespace check {
namespace {

using Severity = skin::SkinProblem::Severity;
using Name = platform::ProfileDocument::Name;

skin::SkinProblem problemAt(const skin::ThemeFile &file, int line, const QString &section,
                            const QString &key, const QString &message)
{
    return {file.path(), line, section, key, Severity::Error, message};
}

QString lostKeys(int count)
{
    if (count == 0)
        return QStringLiteral("only the first is read");
    if (count == 1)
        return QStringLiteral("only the first is read, so its key is never read");
    return QStringLiteral("only the first is read, so its %1 keys are never read").arg(count);
}

// A section given again is never read: a lookup finds the first copy only.
void checkSectionCopies(const skin::ThemeFile &file, const std::vector<Name> &outline,
                        Problems &problems)
{
    QHash<QString, int> firstHeader; // folded name -> line
    QHash<int, int> keysIn;          // section ordinal -> keys
    QList<std::pair<int, const Name *>> copies;
    int ordinal = -1;
    for (const Name &name : outline) {
        if (!name.header) {
            ++keysIn[name.section];
            continue;
        }
        ++ordinal;
        const QString folded = name.name.toCaseFolded();
        if (firstHeader.contains(folded))
            copies.append({ordinal, &name});
        else
            firstHeader.insert(folded, name.line);
    }
    for (const auto &[copy, header] : copies)
        problems.append(
            problemAt(file, header->line, header->name, {},
                      QStringLiteral("[%1] is given a second time (first on line %2): %3")
                          .arg(header->name)
                          .arg(firstHeader.value(header->name.toCaseFolded()))
                          .arg(lostKeys(keysIn.value(copy)))));
}

// A key given again in the section a read finds is never read: the first one wins.
void checkKeyCopies(const skin::ThemeFile &file, const std::vector<Name> &outline,
                    Problems &problems)
{
    QHash<QString, int> firstSection; // folded section name -> its first ordinal
    QHash<int, QString> sectionName;
    int ordinal = -1;
    for (const Name &name : outline) {
        if (name.header) {
            ++ordinal;
            sectionName.insert(ordinal, name.name);
            firstSection.insert(name.name.toCaseFolded(),
                                firstSection.value(name.name.toCaseFolded(), ordinal));
        }
    }
    QHash<QString, std::pair<int, int>> keys; // section ordinal + folded key -> first line, copies
    QList<QString> order;
    QHash<QString, const Name *> firstCopy;
    for (const Name &name : outline) {
        if (name.header || name.section < 0 ||
            firstSection.value(sectionName.value(name.section).toCaseFolded()) != name.section)
            continue;
        const QString id = QString::number(name.section) + u'\n' + name.name.toCaseFolded();
        auto found = keys.find(id);
        if (found == keys.end()) {
            keys.insert(id, {name.line, 0});
        } else if (++found->second == 1) {
            order.append(id);
            firstCopy.insert(id, &name);
        }
    }
    for (const QString &id : order) {
        const Name &copy = *firstCopy.value(id);
        const auto [line, copies] = keys.value(id);
        const QString again = copies == 1 ? QStringLiteral("a second time")
                                          : QStringLiteral("%1 more times").arg(copies);
        problems.append(
            problemAt(file, copy.line, sectionName.value(copy.section), copy.name,
                      QStringLiteral("the key %1 is given %2 (first on line %3): only the "
                                     "first is read")
                          .arg(copy.name, again)
                          .arg(line)));
    }
}

// The console reads a file with a UTF-8 byte order mark as UTF-8 and a UTF-16 big-endian one as
// it is, but a reader that works as the Windows profile functions do takes the mark for text (a
// header on the first line then is no header) and a UTF-16 file for little-endian: a warning,
// since the console loses nothing.
void checkByteOrder(const skin::ThemeFile &file, const QByteArray &bytes, Problems &problems)
{
    const auto warn = [&](const QString &section, const QString &message) {
        skin::SkinProblem problem = problemAt(file, 1, section, {}, message);
        problem.severity = Severity::Warning;
        problems.append(problem);
    };
    if (bytes.startsWith("\xFE\xFF")) {
        warn({}, QStringLiteral("the file is UTF-16 big-endian: a reader that takes UTF-16 for "
                                "little-endian reads nothing in it; save it as UTF-8 or UTF-16LE"));
        return;
    }
    if (!bytes.startsWith("\xEF\xBB\xBF") || bytes.size() < 4 || bytes.at(3) != '[')
        return;
    const qsizetype end = bytes.indexOf(']');
    const QString section = QString::fromUtf8(bytes.mid(4, end > 4 ? end - 4 : 0));
    warn(section, QStringLiteral("the file starts with a UTF-8 byte order mark: a reader that "
                                 "takes it for text misses the first section [%1]; save it "
                                 "without one")
                      .arg(section));
}

} // namespace

void checkIniFile(const skin::ThemeFile &file, Problems &problems)
{
    if (const QString why = platform::whyNotAFile(platform::nativePath(file.path()));
        !why.isEmpty()) {
        problems.append(problemAt(file, 0, {}, {},
                                  QStringLiteral("the file %1: nothing in it is read").arg(why)));
        return;
    }
    const platform::ProfileSnapshot *snapshot = file.snapshot();
    if (snapshot && snapshot->failed()) {
        problems.append(problemAt(file, 0, {}, {},
                                  QStringLiteral("the file does not read (%1): nothing in it is "
                                                 "read")
                                      .arg(snapshot->error())));
        return;
    }
    if (!snapshot || !snapshot->document())
        return;
    const std::vector<Name> outline = snapshot->document()->outline();
    checkByteOrder(file, snapshot->document()->bytes(), problems);
    checkSectionCopies(file, outline, problems);
    checkKeyCopies(file, outline, problems);
}

} // namespace check
