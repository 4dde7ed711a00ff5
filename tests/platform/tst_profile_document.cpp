// How profile files are read and edited, case by case, on exact bytes.

#include "platform/profile_document.h"

#include <QTest>

using platform::ProfileDocument;

namespace {

QByteArray utf16(const char16_t *text)
{
    QByteArray bytes("\xFF\xFE");
    for (const char16_t *c = text; *c; ++c) {
        bytes += static_cast<char>(*c & 0xFF);
        bytes += static_cast<char>(*c >> 8);
    }
    return bytes;
}

} // namespace

class TestProfileDocument : public QObject
{
    Q_OBJECT

private slots:
    void readsValues_data();
    void readsValues();
    void writesValues_data();
    void writesValues();
    void deletesKeys_data();
    void deletesKeys();
    void deletesSections_data();
    void deletesSections();
    void listsNamesWithDuplicates();
    void keepsUtf16Files();
    void readsLargeSectionsByIndex();
};

void TestProfileDocument::readsValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    const QByteArray basic = "[S]\r\nk=v\r\n";
    QTest::newRow("plain") << basic << "S"
                           << "k" << true << "v";
    QTest::newRow("names ignore case") << basic << "s"
                                       << "K" << true << "v";
    QTest::newRow("argument spaces ignored") << basic << "  S  "
                                             << " k " << true << "v";
    QTest::newRow("argument tab is not ignored") << basic << "S\t"
                                                 << "k" << false << "";
    QTest::newRow("missing key") << basic << "S"
                                 << "x" << false << "";
    QTest::newRow("missing section") << basic << "T"
                                     << "k" << false << "";
    QTest::newRow("empty file") << QByteArray() << "S"
                                << "k" << false << "";
    QTest::newRow("blanks around everything")
        << QByteArray(" \t[ S ] \r\n  k \t=  \v v w \t \r\n") << "S"
        << "k" << true << "v w";
    QTest::newRow("value keeps its case") << QByteArray("[S]\nK=MiXeD\n") << "s"
                                          << "k" << true << "MiXeD";
    QTest::newRow("empty value is found") << QByteArray("[S]\nk=\n") << "S"
                                          << "k" << true << "";
    QTest::newRow("blank value is found") << QByteArray("[S]\nk=   \n") << "S"
                                          << "k" << true << "";
    QTest::newRow("value with equals") << QByteArray("[S]\nk=a=b\n") << "S"
                                       << "k" << true << "a=b";
    QTest::newRow("semicolon inside value") << QByteArray("[S]\nk=v ; note\n") << "S"
                                            << "k" << true << "v ; note";
    QTest::newRow("comment never read") << QByteArray("[S]\n;k=v\n") << "S"
                                        << ";k" << false << "";
    QTest::newRow("hash is text") << QByteArray("[S]\n#k=v\n") << "S"
                                  << "#k" << true << "v";
    QTest::newRow("line without equals is no key") << QByteArray("[S]\nname3\n") << "S"
                                                   << "name3" << false << "";
    QTest::newRow("empty key") << QByteArray("[S]\n=v\n") << "S"
                               << "" << true << "v";
    QTest::newRow("empty section name") << QByteArray("x=1\n[]\nk=v\n") << ""
                                        << "k" << true << "v";
    QTest::newRow("text before first header unreachable") << QByteArray("k=v\n[S]\n") << ""
                                                          << "k" << false << "";
    QTest::newRow("first duplicate key wins") << QByteArray("[S]\nk=1\nk=2\n") << "S"
                                              << "k" << true << "1";
    QTest::newRow("first duplicate section wins")
        << QByteArray("[S]\na=1\n[T]\n[S]\na=2\nb=3\n") << "S"
        << "b" << false << "";
    QTest::newRow("first duplicate section value") << QByteArray("[S]\na=1\n[s]\na=2\n") << "S"
                                                   << "a" << true << "1";
    QTest::newRow("name ends at first bracket") << QByteArray("[a]b]\nk=v\n") << "a"
                                                << "k" << true << "v";
    QTest::newRow("header without bracket") << QByteArray("[abc\nk=v\n") << "abc"
                                            << "k" << true << "v";
    QTest::newRow("text after bracket ignored") << QByteArray("[S]k=v\nj=w\n") << "S"
                                                << "k" << false << "";
    QTest::newRow("blank lines do not end a section") << QByteArray("[S]\n\n\n  \nk=v\n") << "S"
                                                      << "k" << true << "v";
    QTest::newRow("lone CR ends lines") << QByteArray("[S]\rk=v\rj=w") << "S"
                                        << "j" << true << "w";
    QTest::newRow("mixed endings") << QByteArray("[S]\r\na=1\nb=2\rc=3") << "S"
                                   << "c" << true << "3";
    QTest::newRow("utf-8 bom glues to first header") << QByteArray("\xEF\xBB\xBF[S]\nk=v\n") << "S"
                                                     << "k" << false << "";
    QTest::newRow("utf-8 bom, later sections read")
        << QByteArray("\xEF\xBB\xBF[S]\nk=v\n[T]\nk=w\n") << "T"
        << "k" << true << "w";
    // Found by fuzzing: a mark inside the file was dropped when read.
    QTest::newRow("utf-8 bom inside a value is text")
        << QByteArray("[S]\nk=\xEF\xBB\xBFv\n") << "S"
        << "k" << true << QChar(0xFEFF) + QString("v");
    QTest::newRow("utf-8 bom starts a section name")
        << QByteArray("[\xEF\xBB\xBFS]\nk=v\n") << QChar(0xFEFF) + QString("S") << "k" << true
        << "v";
    QTest::newRow("bracket later in line is text") << QByteArray("[S]\nk=[x]\n") << "S"
                                                   << "k" << true << "[x]";
    QTest::newRow("quotes stay in the raw value") << QByteArray("[S]\nk=\"v\"\n") << "S"
                                                  << "k" << true << "\"v\"";
    // One line in the code page does not turn the UTF-8 of the others into mojibake.
    const QByteArray mixed("[S]\r\nu=za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\r\nc=caf\xE9 \x80\r\n");
    QTest::newRow("utf-8 line beside a code-page line")
        << mixed << "S"
        << "u" << true << QString::fromUtf16(u"za\u017c\u00f3\u0142\u0107");
    QTest::newRow("code-page line beside a utf-8 line")
        << mixed << "S"
        << "c" << true << QString::fromUtf16(u"caf\u00e9 \u20ac");
}

void TestProfileDocument::readsValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);

    const std::optional<QString> result = ProfileDocument(file).value(section, key);
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(*result, value);
}

void TestProfileDocument::writesValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file") << QByteArray() << "S"
                              << "k"
                              << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("new section appended") << QByteArray("[A]\r\nx=1\r\n") << "S"
                                          << "k"
                                          << "v" << QByteArray("[A]\r\nx=1\r\n[S]\r\nk=v\r\n");
    QTest::newRow("new section after missing final break")
        << QByteArray("[A]\nx=1") << "S"
        << "k"
        << "v" << QByteArray("[A]\nx=1\r\n[S]\r\nk=v\r\n");
    QTest::newRow("replace keeps other lines' bytes")
        << QByteArray("; top\n[S]\n  k = old\n\tj=2\r\n") << "s"
        << "K"
        << "new" << QByteArray("; top\n[S]\n  k = new\r\n\tj=2\r\n");
    QTest::newRow("replace keeps key spelling") << QByteArray("[Sec]\r\nTestKey=1\r\n") << "SEC"
                                                << "TESTKEY"
                                                << "2" << QByteArray("[Sec]\r\nTestKey=2\r\n");
    QTest::newRow("replace last line without break") << QByteArray("[S]\nk=1") << "S"
                                                     << "k"
                                                     << "2" << QByteArray("[S]\nk=2\r\n");
    QTest::newRow("replace empty value") << QByteArray("[S]\nk=\nj=1\n") << "S"
                                         << "k"
                                         << "x" << QByteArray("[S]\nk=x\r\nj=1\n");
    QTest::newRow("first duplicate replaced") << QByteArray("[S]\nk=1\nk=2\n") << "S"
                                              << "k"
                                              << "3" << QByteArray("[S]\nk=3\r\nk=2\n");
    QTest::newRow("new key after last entry, before comments")
        << QByteArray("[S]\na=1\n;c\n\n[T]\n") << "S"
        << "b"
        << "2" << QByteArray("[S]\na=1\nb=2\r\n;c\n\n[T]\n");
    QTest::newRow("new key into empty section") << QByteArray("[S]\n[T]\n") << "S"
                                                << "k"
                                                << "v" << QByteArray("[S]\nk=v\r\n[T]\n");
    QTest::newRow("new key after last line without break")
        << QByteArray("[S]\na=1") << "S"
        << "b"
        << "2" << QByteArray("[S]\na=1\r\nb=2\r\n");
    QTest::newRow("new key after text line") << QByteArray("[S]\nname3\n;c\n") << "S"
                                             << "k"
                                             << "v" << QByteArray("[S]\nname3\nk=v\r\n;c\n");
    QTest::newRow("new key goes to first duplicate section")
        << QByteArray("[S]\na=1\n[S]\nb=2\n") << "S"
        << "c"
        << "3" << QByteArray("[S]\na=1\nc=3\r\n[S]\nb=2\n");
    QTest::newRow("value written verbatim") << QByteArray() << "S"
                                            << "k"
                                            << " ;#\"x' " << QByteArray("[S]\r\nk= ;#\"x' \r\n");
    QTest::newRow("names lose edge spaces") << QByteArray() << "  S  "
                                            << "  k  "
                                            << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("bom-only file gets a break first")
        << QByteArray("\xEF\xBB\xBF") << "S"
        << "k"
        << "v" << QByteArray("\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n");
    QTest::newRow("text before first header kept")
        << QByteArray("pre\0amble\n", 10) << "S"
        << "k"
        << "v" << QByteArray("pre\0amble\n[S]\r\nk=v\r\n", 20);
    QTest::newRow("cr-only file keeps its breaks") << QByteArray("[S]\ra=1\rb=2\r") << "S"
                                                   << "a"
                                                   << "9" << QByteArray("[S]\ra=9\r\nb=2\r");
    // Found by fuzzing: the blanks after "=" and those of the value added up at every write.
    QTest::newRow("leading blanks of the value replace the line's")
        << QByteArray("[S]\r\nk = \tv\r\n") << "S"
        << "k"
        << "  v" << QByteArray("[S]\r\nk =  v\r\n");
    QTest::newRow("empty value leaves no blanks behind") << QByteArray("[S]\r\nk= \tv\r\n") << "S"
                                                         << "k"
                                                         << "" << QByteArray("[S]\r\nk=\r\n");
    QTest::newRow("same value leaves bytes") << QByteArray("[S]\r\nk=v\r\n") << "S"
                                             << "k"
                                             << "v" << QByteArray("[S]\r\nk=v\r\n");
    // A written line reads back as the text it was given; the lines around it keep their bytes.
    const QByteArray codePage("[S]\r\ncl\xE9=caf\xE9\r\n");
    QTest::newRow("code-page file, text it holds")
        << codePage << "S"
        << "k" << QString::fromUtf16(u"\u00fc\u20ac")
        << QByteArray("[S]\r\ncl\xE9=caf\xE9\r\nk=\xFC\x80\r\n");
    QTest::newRow("code-page file, text beyond it goes as utf-8")
        << codePage << "S"
        << "k" << QString::fromUtf16(u"\u0141\u00f3d\u017a \u65e5\u672c")
        << QByteArray("[S]\r\ncl\xE9=caf\xE9\r\nk=\xC5\x81\xC3\xB3"
                      "d\xC5\xBA "
                      "\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    QTest::newRow("code-page bytes that would read as utf-8 go as utf-8")
        << codePage << "S"
        << "k" << QString::fromUtf16(u"\u00c3\u00a9")
        << QByteArray("[S]\r\ncl\xE9=caf\xE9\r\nk=\xC3\x83\xC2\xA9\r\n");
    QTest::newRow("code-page line keeps its code page")
        << codePage << "S" << QString::fromUtf16(u"CL\u00e9") << QString::fromUtf16(u"\u00e0")
        << QByteArray("[S]\r\ncl\xE9=\xE0\r\n");
    QTest::newRow("utf-8 file stays utf-8") << QByteArray("[S]\r\nk=\xC3\xA9\r\n") << "S"
                                            << "j" << QString::fromUtf16(u"\u00fc")
                                            << QByteArray("[S]\r\nk=\xC3\xA9\r\nj=\xC3\xBC\r\n");
    QTest::newRow("half a surrogate pair is refused")
        << QByteArray("[S]\r\n") << "S"
        << "k" << QString(QChar(0xD800)) << QByteArray();
}

void TestProfileDocument::writesValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);

    const std::optional<QByteArray> written = ProfileDocument(file).withValue(section, key, value);
    QCOMPARE(written.has_value(), !expected.isNull());
    if (!written)
        return;
    QCOMPARE(*written, expected);
    QCOMPARE(ProfileDocument(*written).value(section, key).value_or(QStringLiteral("<none>")),
             value.trimmed());
}

void TestProfileDocument::deletesKeys_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("key line removed") << QByteArray("[S]\r\na=1\r\nb=2\r\n") << "s"
                                      << "A" << QByteArray("[S]\r\nb=2\r\n");
    QTest::newRow("last key leaves header") << QByteArray("[App3]\r\nk=1\r\n") << "App3"
                                            << "k" << QByteArray("[App3]\r\n");
    QTest::newRow("absent key unchanged") << QByteArray("[S]\nb=2\n") << "S"
                                          << "a" << QByteArray("[S]\nb=2\n");
    QTest::newRow("absent section unchanged") << QByteArray("[S]\nb=2\n") << "T"
                                              << "b" << QByteArray("[S]\nb=2\n");
    QTest::newRow("duplicates all go, so the key reads absent")
        << QByteArray("[S]\nk=1\nj=0\nk=2\n") << "S"
        << "k" << QByteArray("[S]\nj=0\n");
    QTest::newRow("other copies of the section untouched")
        << QByteArray("[S]\nk=1\n[S]\nk=2\n") << "S"
        << "k" << QByteArray("[S]\n[S]\nk=2\n");
    QTest::newRow("comment of the same name stays") << QByteArray("[S]\n;k=1\nk=2\n") << "S"
                                                    << "k" << QByteArray("[S]\n;k=1\n");
}

void TestProfileDocument::deletesKeys()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfileDocument(file).withoutKey(section, key), expected);
}

void TestProfileDocument::deletesSections_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("comments inside stay") << QByteArray(";c0\r\n[S]\r\n;c1\r\n[S2]\r\n;c2\r\n")
                                          << "S" << QByteArray(";c0\r\n;c1\r\n[S2]\r\n;c2\r\n");
    QTest::newRow("keys and text lines go")
        << QByteArray("[S]\na=1\nname3\n\n[T]\nb=2\n") << "s" << QByteArray("\n[T]\nb=2\n");
    QTest::newRow("every copy goes")
        << QByteArray("[S]\na=1\n[T]\nb=2\n[S]\nc=3\n") << "S" << QByteArray("[T]\nb=2\n");
    QTest::newRow("absent section unchanged")
        << QByteArray("[S]\na=1\n") << "X" << QByteArray("[S]\na=1\n");
}

void TestProfileDocument::deletesSections()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfileDocument(file).withoutSection(section), expected);
}

void TestProfileDocument::listsNamesWithDuplicates()
{
    const ProfileDocument document(QByteArray("x=0\n[A]\nk=1\n;c=2\nname\nk=3\n[B]\n[a]\nz=1\n"));
    QCOMPARE(document.sectionNames(), QStringList({"A", "B", "a"}));
    QCOMPARE(document.keyNames(u"a").value(), QStringList({"k", "k"}));
    QVERIFY(!document.keyNames(u"missing").has_value());
}

void TestProfileDocument::keepsUtf16Files()
{
    const QByteArray file = utf16(u"; note\r\n[S]\r\nk=\u00e9t\u00e9\r\nj=1\r\n");
    const ProfileDocument document(file);
    QCOMPARE(document.codec(), platform::TextCodec::Utf16Le);
    QCOMPARE(document.value(u"S", u"k").value(), QString::fromUtf16(u"\u00e9t\u00e9"));

    QCOMPARE(*document.withValue(u"S", u"j", u"\u20ac"),
             utf16(u"; note\r\n[S]\r\nk=\u00e9t\u00e9\r\nj=\u20ac\r\n"));
    QCOMPARE(*document.withValue(u"T", u"n", u"v"),
             utf16(u"; note\r\n[S]\r\nk=\u00e9t\u00e9\r\nj=1\r\n[T]\r\nn=v\r\n"));
    QCOMPARE(document.withoutKey(u"S", u"k"), utf16(u"; note\r\n[S]\r\nj=1\r\n"));
    QCOMPARE(*ProfileDocument(utf16(u"")).withValue(u"S", u"k", u"v"),
             utf16(u"\r\n[S]\r\nk=v\r\n"));

    // Found by fuzzing: half a code unit at the end shifted every line written after it.
    const ProfileDocument odd(utf16(u"[S]\r\nk=1") + 'x');
    QCOMPARE(*odd.withValue(u"S", u"j", u"2"), utf16(u"[S]\r\nk=1\r\nj=2\r\n") + 'x');
    QCOMPARE(*odd.withValue(u"T", u"j", u"2"), utf16(u"[S]\r\nk=1\r\n[T]\r\nj=2\r\n") + 'x');
    QCOMPARE(odd.withoutKey(u"S", u"k"), utf16(u"[S]\r\n") + 'x');
}

void TestProfileDocument::readsLargeSectionsByIndex()
{
    QByteArray file("[DEFAULT]\r\n");
    for (int i = 1; i <= 5000; ++i)
        file += QByteArray::number(i).rightJustified(2, '0') + "=line " + QByteArray::number(i) +
                "\r\n";
    const ProfileDocument document(file);
    QCOMPARE(document.value(u"default", u"01").value(), QStringLiteral("line 1"));
    QCOMPARE(document.value(u"DEFAULT", u"4999").value(), QStringLiteral("line 4999"));
    QVERIFY(!document.value(u"DEFAULT", u"5001").has_value());
}

QTEST_GUILESS_MAIN(TestProfileDocument)
#include "tst_profile_document.moc"
