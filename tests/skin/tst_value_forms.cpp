#include "skin/theme.h"
#include "skin/value_forms.h"
#include "test_environment.h"

#include <QTest>

using namespace skin;
using namespace Qt::StringLiterals;

class TestValueForms : public QObject
{
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void fields_data();
    void fields();
    void themePaths();
    void consoleSkinForTheScreen_data();
    void consoleSkinForTheScreen();
};

void TestValueForms::colours_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<qint64>("expected"); // -1: does not convert

    QTest::newRow("mixed") << u"0,128,255"_s << qint64(16744448);
    QTest::newRow("above 255 is 255") << u"300,0,0"_s << qint64(255);
    QTest::newRow("rest after third comma") << u"1,2,3,4"_s << qint64(1 + 512 + 3 * 65536);
    // With an empty green the blue text starts after the next comma; without one it is the
    // text after the second comma, not the whole value again.
    QTest::newRow("empty green, four fields") << u"1,,3,4"_s << qint64(1 + 4 * 65536);
    QTest::newRow("empty green") << u"1,,3"_s << qint64(1 + 3 * 65536);
    QTest::newRow("rounds to zero") << u"-0.4,0,-0.5"_s << qint64(0);
    QTest::newRow("one comma") << u"255,0"_s << qint64(-1);
    QTest::newRow("negative") << u"0,-1,0"_s << qint64(-1);
    QTest::newRow("past 16 bits") << u"0,0,32768"_s << qint64(-1);
    QTest::newRow("rounds past 16 bits") << u"32767.5,0,0"_s << qint64(-1);
    QTest::newRow("overlong") << u"0,0,99999999999999999999"_s << qint64(-1);
}

void TestValueForms::colours()
{
    QFETCH(QString, value);
    QFETCH(qint64, expected);
    const std::optional<quint32> colour = toColour(value);
    QCOMPARE(colour.has_value(), expected >= 0);
    if (colour)
        QCOMPARE(qint64(*colour), expected);
}

void TestValueForms::fields_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("last keeps commas")
        << u"a,b,c,d"_s << 3 << QStringList{u"a"_s, u"b"_s, u"c,d"_s};
    QTest::newRow("too few") << u"a,b"_s << 3 << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("empty value") << QString() << 2 << QStringList{QString()};
    QTest::newRow("empty fields") << u",,"_s << 3 << QStringList{QString(), QString(), QString()};
}

void TestValueForms::fields()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    QFETCH(QStringList, fields);
    QCOMPARE(fieldList(value, expected), fields);
}

void TestValueForms::themePaths()
{
    // By characters, not by extension: "Security.SKN" and "Security.skn" share one file.
    QCOMPARE(ThemeFile(u"terminal.SKN"_s).overrideFile().path(), u"terminal.ini"_s);
    QCOMPARE(ThemeFile(u"ab"_s).overrideFile().path(), QString());
    const Theme blue(u"/opt/k"_s, u"\\Themes\\Blue\\"_s, u"Security"_s);
    QCOMPARE(Theme(u"/opt/k"_s, u"\\Themes\\Dark Steel\\"_s, {}).name(), u"Dark Steel"_s);
    QCOMPARE(Theme({}, u"\\Themes\\"_s, {}).name(), QString());
    QCOMPARE(blue.previewPicture(), u"/opt/k\\Themes\\Blue.bmp"_s);
    QCOMPARE(blue.previewPicture(u"Red"_s), u"/opt/k\\Themes\\Red.bmp"_s);
    QCOMPARE(Theme().previewPicture(), u".bmp"_s);
}

void TestValueForms::consoleSkinForTheScreen_data()
{
    QTest::addColumn<QByteArray>("screenSkin");
    QTest::addColumn<QString>("skinName");
    QTest::newRow("with BackGround")
        << QByteArray("[default]\nbackGround=1,2,3\n") << u"Security1024"_s;
    QTest::newRow("BackGround in another section")
        << QByteArray("[OTHER]\nBackGround=1,2,3\n") << u"Security"_s;
}

void TestValueForms::consoleSkinForTheScreen()
{
    QFETCH(QByteArray, screenSkin);
    QFETCH(QString, skinName);
    TestEnvironment env;
    writeBytes(env.path(u"Themes/Blue/Security1024.skn"_s), screenSkin);
    const Theme theme = Theme::withConsoleSkinFor(env.root(), u"\\Themes\\Blue\\"_s,
                                                  u"Security1024"_s, u"Security"_s);
    QCOMPARE(theme.consoleSkin().path(), theme.file(skinName + u".skn"_s));
}

QTEST_GUILESS_MAIN(TestValueForms)
#include "tst_value_forms.moc"
