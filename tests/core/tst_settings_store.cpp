// The per-user settings store: exact round trips, one section for "Default" and "DEFAULT",
// private file modes, and the shell's writes seen at once.

#include "core/settings_store.h"
#include "test_environment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QString app = settings::application;

QString kestaStore()
{
    return qEnvironmentVariable("KESTA_BIN_DIR") + QStringLiteral("/kesta-store");
}

// Characters that the INI format treats specially, mixed with ordinary and non-ASCII ones.
QString randomSingleLine(QRandomGenerator &random)
{
    static const QString alphabet =
        QString::fromUtf16(u" \t\v\"'=;#[]\\/ abcXYZ019\u00e9\u00fc\u20ac\u4e2d\U0001F600NotFound");
    QString text;
    const int length = random.bounded(0, 24);
    for (int i = 0; i < length; ++i) {
        const QChar c = alphabet[random.bounded(alphabet.size())];
        if (c.isHighSurrogate() || c.isLowSurrogate())
            text += QString::fromUtf16(u"\U0001F600");
        else
            text += c;
    }
    return text;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void roundTripsAnySingleLineText_data();
    void roundTripsAnySingleLineText();
    void roundTripsRandomText();
    void matchesNamesWithoutCase();
    void refusesLineBreaks();
    void keepsTheStorePrivate();
    void seesTheShellsWritesAtOnce();
    void removesEntries();
};

void TestSettingsStore::roundTripsAnySingleLineText_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "1";
    QTest::newRow("blank before") << " 1";
    QTest::newRow("blank after") << "1 ";
    QTest::newRow("tab around") << "\t1\t";
    QTest::newRow("only blanks") << "   ";
    QTest::newRow("empty") << "";
    QTest::newRow("quoted") << "\"quoted\"";
    QTest::newRow("single quotes") << "'x'";
    QTest::newRow("lone quote") << "\"";
    QTest::newRow("quote at one end") << "say \"hi\"";
    QTest::newRow("ini syntax") << "a=b;c#d[e]";
    QTest::newRow("backslash path") << "\\Themes\\Blue\\";
    QTest::newRow("non-ascii") << QString::fromUtf16(u"caf\u00e9 \u20ac \u4e2d");
    QTest::newRow("the not-found word") << "NotFound";
}

void TestSettingsStore::roundTripsAnySingleLineText()
{
    QFETCH(QString, value);
    TestEnvironment env;
    QVERIFY(settings::save(app, "Section", "Key", value));
    QCOMPARE(settings::get(app, "Section", "Key", "absent"), value);
}

void TestSettingsStore::roundTripsRandomText()
{
    TestEnvironment env;
    // The shell wrote a line in its code page: every other line still takes any text.
    writeBytes(env.path("config/KESTA Terminal/settings.ini"), "[Shell]\r\nOwner=Ren\xE9\r\n");
    QRandomGenerator random(20261206);
    QHash<QString, QString> expected;
    for (int i = 0; i < 300; ++i) {
        const QString key = QStringLiteral("k") + QString::number(random.bounded(60));
        const QString value = randomSingleLine(random);
        QVERIFY(settings::save(app, "Random", key, value));
        expected.insert(key, value);
        const QString probe = expected.keys().at(random.bounded(expected.size()));
        QCOMPARE(settings::get(app, "Random", probe), expected.value(probe));
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(settings::get(app, "RANDOM", it.key().toUpper()), it.value());
    QCOMPARE(settings::get(app, "Shell", "Owner"), QString::fromUtf16(u"Ren\u00e9"));
}

void TestSettingsStore::matchesNamesWithoutCase()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "Default", "ThemeDir", "\\Themes\\Blue\\"));
    QVERIFY(settings::save(app, "DEFAULT", "Password", "secret"));
    QCOMPARE(settings::get(app, "DEFAULT", "themedir"), "\\Themes\\Blue\\");
    QCOMPARE(settings::get(app, "default", "PASSWORD"), "secret");
    QVERIFY(settings::save(app, "default", "THEMEDIR", "\\Themes\\Red\\"));
    QCOMPARE(readBytes(settings::filePath(app)),
             QByteArray("[Default]\r\nThemeDir=\\Themes\\Red\\\r\nPassword=secret\r\n"));
}

void TestSettingsStore::refusesLineBreaks()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "EXIT", "KESTA Terminal - Security", "0"));
    QVERIFY(!settings::save(app, "EXIT", "KESTA Terminal - Security", "0\r\n[EXIT]\r\nx=1"));
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), "0");
}

void TestSettingsStore::keepsTheStorePrivate()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "DEFAULT", "Password", "secret"));
    const QFileInfo file(settings::filePath(app));
    QCOMPARE(file.absoluteFilePath(),
             env.root() + QStringLiteral("/config/KESTA Terminal/settings.ini"));
    QCOMPARE(QFile::permissions(file.absolutePath()) & 0x7077,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(QFile::permissions(file.absoluteFilePath()) & 0x7077,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(settings::save(app, "DEFAULT", "Password", "other"));
    QCOMPARE(QFile::permissions(file.absoluteFilePath()) & 0x7077,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestSettingsStore::seesTheShellsWritesAtOnce()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "EXIT", "KESTA Terminal - Security", "0"));
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), "0");
    QCOMPARE(QProcess::execute(kestaStore(), {"request-exit"}), 0);
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), "1");
    QCOMPARE(QProcess::execute(kestaStore(), {"set", "exit", "kesta terminal - security", " 1"}),
             0);
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), " 1");
}

void TestSettingsStore::removesEntries()
{
    TestEnvironment env;
    QVERIFY(settings::remove(app, "General", "Running"));
    QVERIFY(!QFile::exists(settings::filePath(app)));
    QVERIFY(settings::save(app, "General", "Running", "True"));
    QVERIFY(settings::remove(app, "GENERAL", "running"));
    QCOMPARE(settings::get(app, "General", "Running", "False"), "False");
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
