// The profile parser and its three edits on any bytes. Properties: nothing crashes; a write
// reads back exactly or is refused; every line an edit does not touch keeps its bytes; keys the
// edit does not name keep their values; and writing the same value twice changes nothing the second
// time (the engine skips a write whose bytes are unchanged, and a file must not grow on every
// save).

#include "fuzz_support.h"
#include "platform/profile_document.h"

#include <QByteArray>
#include <QList>

#include <set>

using platform::ProfileDocument;

namespace {

// The file's lines with their breaks, cut the way the dialect cuts them: CR LF, a lone CR and
// a lone LF each end a line; a UTF-16 file is cut on code units after its byte-order mark, which
// belongs to no line.
QList<QByteArray> rawLines(const QByteArray &file)
{
    const bool wide = file.startsWith("\xFF\xFE");
    const QByteArray bytes = wide ? file.mid(2) : file;
    const qsizetype unit = wide ? 2 : 1;
    const auto at = [&](qsizetype i) -> int {
        if (i + unit > bytes.size())
            return -1;
        const auto low = static_cast<unsigned char>(bytes[i]);
        return wide ? (low | (static_cast<unsigned char>(bytes[i + 1]) << 8)) : low;
    };
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int c = at(i);
        if (c == '\r' || c == '\n') {
            i += unit;
            if (c == '\r' && at(i) == '\n')
                i += unit;
            lines.append(bytes.mid(start, i - start));
            start = i;
        } else {
            i += (c < 0) ? bytes.size() - i : unit;
        }
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    // Half a code unit at the end of a UTF-16 file is no text: it stays the last byte.
    if (wide && bytes.size() % 2 == 1) {
        lines.back().chop(1);
        if (lines.back().isEmpty())
            lines.removeLast();
        lines.append(bytes.right(1));
    }
    return lines;
}

bool endsWithBreak(const QByteArray &line, bool wide)
{
    if (wide)
        return line.endsWith(QByteArrayView("\n\0", 2)) || line.endsWith(QByteArrayView("\r\0", 2));
    return line.endsWith('\n') || line.endsWith('\r');
}

// True when after is before with whole lines taken out and nothing else changed.
bool onlyLinesRemoved(const QList<QByteArray> &before, QByteArray after, bool wide)
{
    if (wide) {
        if (!after.startsWith("\xFF\xFE"))
            return false;
        after.remove(0, 2);
    }
    std::set<qsizetype> reachable{0};
    for (const QByteArray &line : before) {
        std::set<qsizetype> next = reachable;
        for (const qsizetype at : reachable) {
            if (QByteArrayView(after).sliced(at).startsWith(line))
                next.insert(at + line.size());
        }
        reachable.swap(next);
    }
    return reachable.count(after.size()) == 1;
}

// True when after differs from before in one place: one old line replaced by one new line, or
// up to two new lines inserted (a key, or a header and its key), ahead of which an old last line
// without a break may have gained one.
bool oneLineWritten(QList<QByteArray> before, QList<QByteArray> after, bool wide)
{
    if (wide && !before.isEmpty() && before.back().size() == 1) {
        if (after.isEmpty() || after.back() != before.back())
            return false;
        before.removeLast();
        after.removeLast();
    }
    // A file of only a byte-order mark is not empty: a break comes before the new lines.
    if (wide && before.isEmpty())
        return after.size() <= 3 &&
               (after.size() < 3 || after.front() == QByteArray("\r\0\n\0", 4));
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const qsizetype oldMiddle = before.size() - prefix - suffix;
    const qsizetype newMiddle = after.size() - prefix - suffix;
    if (oldMiddle == 0)
        return newMiddle <= 2;
    if (oldMiddle > 1)
        return false;
    if (newMiddle == 1)
        return true;
    const QByteArray &old = before[prefix];
    const QByteArray &gained = after[prefix];
    return newMiddle <= 3 && suffix == 0 && !endsWithBreak(old, wide) && gained.startsWith(old) &&
           endsWithBreak(gained, wide) && gained.size() - old.size() <= 4;
}

QString trimmedBlanks(QString text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; };
    while (!text.isEmpty() && blank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

bool hasBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A name every codec holds as it is and that the engine writes and reads back as written: it
// refuses breaks, "]" in sections and "=", ";..." or "[..." in keys; the parser also trims TAB
// and VT at the ends of names, which a lookup (trimming spaces only) would not find again.
bool plainName(const QString &name, bool isKey)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    const QString trimmed = name.trimmed();
    if (!isKey)
        return !name.contains(u']');
    return !name.contains(u'=') && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[');
}

bool sameName(QString a, QString b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Every key of every section but the edited one reads the same in both documents.
void othersUnchanged(const ProfileDocument &before, const ProfileDocument &after,
                     const QString &section, const QString *key)
{
    QStringList seen;
    for (const QString &name : before.sectionNames()) {
        if (seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen.append(name);
        const bool edited = sameName(name, section);
        if (edited && !key)
            continue;
        for (const QString &entry : before.keyNames(name).value_or(QStringList())) {
            if (edited && sameName(entry, *key))
                continue;
            FUZZ_CHECK(before.value(name, entry) == after.value(name, entry));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int operation = input.ConsumeIntegralInRange(0, 2);
    const QString section = fuzzText(input, 24);
    const QString key = fuzzText(input, 24);
    const QString value = fuzzText(input, 48);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), static_cast<qsizetype>(rest.size()));

    const ProfileDocument document(bytes);
    FUZZ_CHECK(document.bytes() == bytes);
    const std::optional<QString> found = document.value(section, key);
    for (const QString &name : document.sectionNames())
        FUZZ_CHECK(document.keyNames(name).has_value());
    const QList<QByteArray> lines = rawLines(bytes);
    const bool wide = bytes.startsWith("\xFF\xFE");
    // Names the checks of meaning can rely on; other names are only checked not to crash.
    const bool plain = plainName(section, false) && plainName(key, true);

    if (operation == 0) {
        if (hasBreak(section) || hasBreak(key) || hasBreak(value))
            return 0; // the engine refuses these before the document sees them
        const std::optional<QByteArray> edited = document.withValue(section, key, value);
        // Half a surrogate pair is no text, the only thing no file can hold.
        FUZZ_CHECK(edited || !QString(section + key + value).isValidUtf16());
        if (!edited)
            return 0;
        const QByteArray &written = *edited;
        FUZZ_CHECK(!wide || written.startsWith("\xFF\xFE"));
        FUZZ_CHECK(oneLineWritten(lines, rawLines(written), wide));
        const ProfileDocument after(written);
        if (plain) {
            FUZZ_CHECK(after.value(section, key) == trimmedBlanks(value));
            othersUnchanged(document, after, section, &key);
            FUZZ_CHECK(after.withValue(section, key, value) == written);
        }
    } else if (operation == 1) {
        const QByteArray removed = document.withoutKey(section, key);
        FUZZ_CHECK(onlyLinesRemoved(lines, removed, wide));
        FUZZ_CHECK(found.has_value() || removed == bytes);
        const ProfileDocument after(removed);
        if (plain) {
            FUZZ_CHECK(!after.value(section, key));
            othersUnchanged(document, after, section, &key);
        }
    } else {
        const QByteArray removed = document.withoutSection(section);
        FUZZ_CHECK(onlyLinesRemoved(lines, removed, wide));
        const ProfileDocument after(removed);
        if (plain) {
            FUZZ_CHECK(!after.keyNames(section));
            othersUnchanged(document, after, section, nullptr);
        }
    }
    return 0;
}
