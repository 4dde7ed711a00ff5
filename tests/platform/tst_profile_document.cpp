// How profile files are read and edited, on exact bytes. Each fixture under tests/data/profile
// is read, then put through the same edits one at a time; what was read and the file each edit
// wrote are compared with the fixture's golden file.

#include "platform/profile_document.h"
#include "test_environment.h"

#include <QDir>
#include <QTest>

using platform::ProfileDocument;
using namespace Qt::StringLiterals;

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

// One edit of tests/data/profile/edits.txt: "section|key|value" sets a value ("<half>": half a
// surrogate pair), "section|key" deletes a key, "section" a whole section.
QByteArray edited(const ProfileDocument &document, const QString &edit)
{
    const QStringList fields = edit.split(u'|');
    const QString section = fields[0], key = fields.value(1);
    const QByteArray title = '[' + section.toUtf8() + "] " + key.toUtf8();
    if (fields.size() == 1)
        return "== delete " + title + '\n' + escaped(document.withoutSection(section)) + '\n';
    if (fields.size() == 2) {
        const QByteArray without = document.withoutKey(section, key);
        return "== delete " + title + '\n' + escaped(without) + "\nnow " +
               shown(ProfileDocument(without).value(section, key)) + '\n';
    }
    const QString value = fields[2] == u"<half>" ? QString(QChar(0xD800)) : fields[2];
    QByteArray out = "== set " + title + " = " + shown(value) + '\n';
    const std::optional<QByteArray> written = document.withValue(section, key, value);
    if (!written)
        return out + "  refused\n";
    // What a write puts in, a read gives back, blanks at the ends aside.
    const std::optional<QString> readBack = ProfileDocument(*written).value(section, key);
    if (readBack != value.trimmed())
        out += "  reads back as " + shown(readBack) + '\n';
    return out + escaped(*written) + '\n';
}

QByteArray described(const ProfileDocument &document)
{
    static const char *const codecs[] = {"UTF-8", "Windows-1252", "UTF-16LE", "UTF-16BE"};
    QByteArray out = QByteArray("codec ") + codecs[int(document.codec())] +
                     (document.hasUtf8Mark() ? " after a UTF-8 mark\n" : "\n");
    for (const QString &section : document.sectionNames()) {
        out += '[' + escaped(section.toUtf8()) + "]\n";
        for (const QString &key : document.keyNames(section).value_or(QStringList()))
            out += escaped(key.toUtf8()) + " = " +
                   shown(document.value(respelled(section), respelled(key))) + '\n';
    }
    for (const QString &edit :
         QString(readBytes(testData(u"profile/edits.txt"_s))).split(u'\n', Qt::SkipEmptyParts))
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

QTEST_GUILESS_MAIN(TestProfileDocument)
#include "tst_profile_document.moc"
