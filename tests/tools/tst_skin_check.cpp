// kesta-skin-check over the demo's themes (clean) and over a copy of one with known faults laid
// over it (tests/data/skin-check), compared with the expected report line by line.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString source(const QString &relative)
{
    return qEnvironmentVariable("KESTA_SOURCE_DIR") + u'/' + relative;
}

QByteArray skinCheck(const QStringList &args, int *exitCode)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + QStringLiteral("/kesta-skin-check"),
                  args);
    process.waitForFinished(60000);
    *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

void copyInto(const QString &from, const QString &to)
{
    QVERIFY(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-rT"), from, to}) == 0);
}

} // namespace

class TestSkinCheck : public QObject
{
    Q_OBJECT

private slots:
    void reportsEveryProblemOnItsLine_data();
    void reportsEveryProblemOnItsLine();
};

void TestSkinCheck::reportsEveryProblemOnItsLine_data()
{
    QTest::addColumn<QString>("demoTheme");
    QTest::addColumn<QString>("faults"); // a folder of tests/data/skin-check laid over the copy
    QTest::addColumn<int>("exitCode");

    QTest::newRow("Default") << "Default" << QString() << 0;
    QTest::newRow("Amber") << "Amber" << QString() << 0;
    QTest::newRow("Broken") << "Default"
                            << "Broken" << 1;
}

void TestSkinCheck::reportsEveryProblemOnItsLine()
{
    QFETCH(QString, demoTheme);
    QFETCH(QString, faults);
    QFETCH(int, exitCode);
    const QString name = faults.isEmpty() ? demoTheme : faults;
    QTemporaryDir program;
    const QString theme = program.filePath(QStringLiteral("Themes/") + name);
    QVERIFY(QDir().mkpath(theme));
    copyInto(source(QStringLiteral("demo/Themes/") + demoTheme), theme);
    QVERIFY(QFile::copy(source(QStringLiteral("demo/Themes/%1.bmp").arg(demoTheme)),
                        theme + QStringLiteral(".bmp")));
    QByteArray expected = "0 error(s), 0 warning(s) in Themes/" + name.toUtf8() + '\n';
    if (!faults.isEmpty()) {
        copyInto(source(QStringLiteral("tests/data/skin-check/") + faults), theme);
        QFile file(source(QStringLiteral("tests/data/skin-check/%1.expected").arg(faults)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        expected = file.readAll();
    }

    int status = -1;
    const QByteArray report = skinCheck({program.path(), name}, &status);
    QCOMPARE(QString::fromUtf8(report).split(u'\n'), QString::fromUtf8(expected).split(u'\n'));
    QCOMPARE(status, exitCode);

    // The theme folder alone names the same theme; --json lists the same problems.
    const QJsonArray problems =
        QJsonDocument::fromJson(skinCheck({"--json", theme}, &status)).array();
    QCOMPARE(problems.size(), report.count('\n') - 1);
    QCOMPARE(status, exitCode);
}

QTEST_GUILESS_MAIN(TestSkinCheck)
#include "tst_skin_check.moc"
