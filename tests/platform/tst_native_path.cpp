// Store paths (backslashes, any letter case) to the files on this disk.

#include "platform/native_path.h"
#include "test_environment.h"

#include <QDir>
#include <QTest>

class TestNativePath : public QObject
{
    Q_OBJECT

private slots:
    void resolves_data();
    void resolves();
    void seesNewFilesInAKnownFolder();
};

void TestNativePath::resolves_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << "/prog/Themes/Blue/Terminal.skn"
                           << "/prog/Themes/Blue/Terminal.skn";
    QTest::newRow("backslashes and case") << "\\PROG\\themes\\blue\\terminal.SKN"
                                          << "/prog/Themes/Blue/Terminal.skn";
    QTest::newRow("mixed separators") << "/prog\\Themes/blue\\"
                                      << "/prog/Themes/Blue/";
    QTest::newRow("doubled separator") << "/prog\\\\Themes\\Blue\\x.ini"
                                       << "/prog/Themes/Blue/x.ini";
    QTest::newRow("missing file keeps its name") << "\\prog\\THEMES\\Blue\\New.ini"
                                                 << "/prog/Themes/Blue/New.ini";
    QTest::newRow("missing folder keeps the rest") << "/prog/Gone/SUB/a.skn"
                                                   << "/prog/Gone/SUB/a.skn";
    QTest::newRow("first match in name order") << "/prog/themes/red/A.BMP"
                                               << "/prog/Themes/Red/A.bmp";
}

void TestNativePath::resolves()
{
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    TestEnvironment env;
    for (const char *file :
         {"prog/Themes/Blue/Terminal.skn", "prog/Themes/Red/A.bmp", "prog/Themes/Red/a.BMP"})
        writeBytes(env.path(QString::fromLatin1(file)), "x");
    QCOMPARE(platform::nativePath(env.root() + stored), env.root() + expected);
}

void TestNativePath::seesNewFilesInAKnownFolder()
{
    TestEnvironment env;
    const QString folder = env.path(QStringLiteral("theme/"));
    QCOMPARE(platform::nativePath(folder + "SECURITY.INI"), folder + "SECURITY.INI");
    writeBytes(folder + "Security.ini", "x");
    QCOMPARE(platform::nativePath(folder + "SECURITY.INI"), folder + "Security.ini");
}

QTEST_GUILESS_MAIN(TestNativePath)
#include "tst_native_path.moc"
