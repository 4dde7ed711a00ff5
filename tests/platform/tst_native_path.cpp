// Store paths (backslashes, any letter case) to the files on this disk.

#include "platform/native_path.h"
#include "test_environment.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestNativePath : public QObject
{
    Q_OBJECT

private slots:
    void resolves();
};

void TestNativePath::resolves()
{
    TestEnvironment env;
    for (const QString &file : {u"prog/Themes/Blue/Terminal.skn"_s, u"prog/Themes/Red/A.bmp"_s,
                                u"prog/Themes/Red/a.BMP"_s})
        writeBytes(env.path(file), "x");
    const auto resolved = [&env](const QString &stored) {
        return platform::nativePath(env.root() + stored).mid(env.root().size());
    };
    QCOMPARE(resolved(u"/prog/Themes/Blue/Terminal.skn"_s), u"/prog/Themes/Blue/Terminal.skn"_s);
    QCOMPARE(resolved(u"\\PROG\\themes\\blue\\terminal.SKN"_s),
             u"/prog/Themes/Blue/Terminal.skn"_s);
    QCOMPARE(resolved(u"/prog\\Themes/blue\\"_s), u"/prog/Themes/Blue/"_s);
    QCOMPARE(resolved(u"/prog\\\\Themes\\Blue\\x.ini"_s), u"/prog/Themes/Blue/x.ini"_s);
    // What is missing keeps its name; of two names in other case the first in name order wins.
    QCOMPARE(resolved(u"\\prog\\THEMES\\Blue\\New.ini"_s), u"/prog/Themes/Blue/New.ini"_s);
    QCOMPARE(resolved(u"/prog/Gone/SUB/a.skn"_s), u"/prog/Gone/SUB/a.skn"_s);
    QCOMPARE(resolved(u"/prog/themes/red/A.BMP"_s), u"/prog/Themes/Red/A.bmp"_s);

    // A file that appears in a folder already looked at is found.
    QCOMPARE(resolved(u"/prog/Themes/Blue/SECURITY.INI"_s), u"/prog/Themes/Blue/SECURITY.INI"_s);
    writeBytes(env.path(u"prog/Themes/Blue/Security.ini"_s), "x");
    QCOMPARE(resolved(u"/prog/Themes/Blue/SECURITY.INI"_s), u"/prog/Themes/Blue/Security.ini"_s);
}

QTEST_GUILESS_MAIN(TestNativePath)
#include "tst_native_path.moc"
