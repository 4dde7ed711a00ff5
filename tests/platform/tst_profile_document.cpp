// How profile files are read and edited, on exact bytes. Each fixture under tests/data/profile
// is read, then put through the same edits one at a time; what was read and what each edit
// changed is compared with the fixture's golden file.

#include "platform/profile_document.h"
#include "test_environment.h"

#include <QDir>
#include <QTest>

using platform::ProfileDocument;

namespace {

// Every byte that is not printable ASCII as an escape, so that a golden file is plain text that
// shows each blank, break and encoded character.
QByteArray escaped(QByteArrayView bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n' || c == '\t')
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
        else if (c < 0x20 || c >= 0x7F || c == '\\')
            out += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

QByteArray shown(const std::optional<QString> &value)
{
    return value ? '"' + escaped(value->toUtf8()) + '"' : QByteArray("(none)");
}

// ASCII letters in the other case, with a blank at each end: how a caller may spell a name.
QString respelled(QString name)
{
    for (QChar &c : name)
        c = c.unicode() >= 0x80 ? c : c.isUpper() ? c.toLower() : c.toUpper();
    return u' ' + name + u' ';
}

// The lines an edit removed ("-") and wrote ("+"), each run after the line it follows ("  "),
// split at each line feed. An edit touches few lines, so a line that the rest of the other file
// still holds is taken as kept.
QByteArray difference(const QByteArray &before, const QByteArray &after)
{
    if (before == after)
        return "  (unchanged)\n";
    const QList<QByteArray> a = before.split('\n'), b = after.split('\n');
    QByteArray out;
    bool inRun = false;
    for (qsizetype i = 0, j = 0; i < a.size() || j < b.size();) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            ++i, ++j;
            inRun = false;
            continue;
        }
        if (!std::exchange(inRun, true) && i > 0)
            out += "  " + escaped(a[i - 1]) + '\n';
        if (i < a.size() && (j == b.size() || !b.mid(j).contains(a[i])))
            out += "- " + escaped(a[i++]) + '\n';
        else
            out += "+ " + escaped(b[j++]) + '\n';
    }
    return out;
}

struct Edit
{
    const char16_t *section;
    const char16_t *key;   // nullptr: the whole section goes
    const char16_t *value; // nullptr: the key goes
};

const Edit edits[] = {
    {u" S ", u" k ", u"new"},
    {u"S", u"added", u"2"},
    {u"New", u"k", u"v"},
    {u"T", u"a", u"1"},
    {u"S", u"k", u"  v"},
    {u"S", u"k", u""},
    {u"S", u"k", u" ;#\"x' "},
    {u"S", u"k2", u"\u00fc\u20ac"},
    {u"S", u"k3", u"\u0141\u00f3d\u017a \u65e5\u672c"},
    {u"S", u"k4", u"\u00c3\u00a9"},
    {u"S", u"CL\u00e9", u"\u00e0"},
    {u"S", u"k", u"\xD800"},
    {u"S", u"k", nullptr},
    {u"S", nullptr, nullptr},
};

QByteArray edited(const ProfileDocument &document, const Edit &edit)
{
    const QString section = QString::fromUtf16(edit.section);
    const QString key = edit.key ? QString::fromUtf16(edit.key) : QString();
    const QByteArray title = '[' + section.toUtf8() + "] " + key.toUtf8();
    if (!edit.key)
        return "== delete " + title + '\n' +
               difference(document.bytes(), document.withoutSection(section));
    if (!edit.value) {
        const QByteArray without = document.withoutKey(section, key);
        return "== delete " + title + '\n' + difference(document.bytes(), without) + "  now " +
               shown(ProfileDocument(without).value(section, key)) + '\n';
    }
    const QString value = QString::fromUtf16(edit.value);
    QByteArray out = "== set " + title + " = " + shown(value) + '\n';
    const std::optional<QByteArray> written = document.withValue(section, key, value);
    if (!written)
        return out + "  refused\n";
    // What a write puts in, a read gives back, blanks at the ends aside.
    const std::optional<QString> readBack = ProfileDocument(*written).value(section, key);
    if (readBack != value.trimmed())
        out += "  reads back as " + shown(readBack) + '\n';
    return out + difference(document.bytes(), *written);
}

QByteArray described(const ProfileDocument &document)
{
    static const char *const codecs[] = {"UTF-8", "Windows-1252", "UTF-16LE"};
    QByteArray out = QByteArray("codec ") + codecs[int(document.codec())] + '\n';
    for (const QString &section : document.sectionNames()) {
        out += '[' + escaped(section.toUtf8()) + "]\n";
        for (const QString &key : document.keyNames(section).value_or(QStringList()))
            out += escaped(key.toUtf8()) + " = " +
                   shown(document.value(respelled(section), respelled(key))) + '\n';
    }
    for (const Edit &edit : edits)
        out += edited(document, edit);
    return out;
}

} // namespace

class TestProfileDocument : public QObject
{
    Q_OBJECT

private slots:
    void readsAndEditsFixtures_data();
    void readsAndEditsFixtures();
    void lookups();
};

void TestProfileDocument::readsAndEditsFixtures_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(testData("profile"));
    for (const QString &name : folder.entryList({"*.ini"}, QDir::Files))
        QTest::newRow(qPrintable(name)) << folder.filePath(name.chopped(4));
    QVERIFY(folder.exists());
}

void TestProfileDocument::readsAndEditsFixtures()
{
    QFETCH(QString, path);
    compareWithGolden(described(ProfileDocument(readBytes(path + ".ini"))), path + ".golden");
}

void TestProfileDocument::lookups()
{
    // Only spaces around a name are not part of it.
    QVERIFY(!ProfileDocument("[S]\nk=v\n").value(u"S\t", u"k"));
    // Enough keys that every hash table grows several times.
    QByteArray file("[DEFAULT]\r\n");
    for (int i = 1; i <= 5000; ++i)
        file += QByteArray::number(i).rightJustified(2, '0') + "=line " + QByteArray::number(i) +
                "\r\n";
    const ProfileDocument document(file);
    QCOMPARE(document.value(u"default", u"01").value(), "line 1");
    QCOMPARE(document.value(u"DEFAULT", u"4999").value(), "line 4999");
    QVERIFY(!document.value(u"DEFAULT", u"5001"));
}

QTEST_GUILESS_MAIN(TestProfileDocument)
#include "tst_profile_document.moc"
