// The per-user settings store: exact round trips, one section for "Default" and "DEFAULT",
// private file modes, and the shell's writes seen at once.

#include "core/settings_store.h"
#include "test_environment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString app = settings::application;
const auto privateFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Text the INI format treats specially (blanks and quotes at the ends, "=", ";", "[", the
// not-found word), mixed with ordinary and non-ASCII characters.
QString randomSingleLine(QRandomGenerator &random)
{
    static const QString alphabet =
        QString::fromUtf16(u" \t\v\"'=;#[]\\/ abcXYZ019\u00e9\u20ac\u4e2d\U0001F600NotFound");
    QString text;
    for (int i = random.bounded(0, 24); i > 0; --i) {
        const QChar c = alphabet[random.bounded(alphabet.size())];
        text += c.isSurrogate() ? QString::fromUtf16(u"\U0001F600") : QString(c);
    }
    return text;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void roundTripsAnySingleLineText();
    void matchesNamesWithoutCase();
    void keepsTheStorePrivate();
    void seesTheShellsWritesAtOnce();
};

void TestSettingsStore::roundTripsAnySingleLineText()
{
    TestEnvironment env;
    // The shell wrote a line in its code page: every other line still takes any text.
    writeBytes(env.path(u"config/KESTA Terminal/settings.ini"_s), "[Shell]\r\nOwner=Ren\xE9\r\n");
    QRandomGenerator random(20261206);
    QHash<QString, QString> expected;
    QStringList values{u" 1"_s,         u"1 "_s, u"   "_s,        QString(),
                       u"\"quoted\""_s, u"\""_s, u"say \"hi\""_s, u"NotFound"_s};
    while (values.size() < 300)
        values << randomSingleLine(random);
    // Keys are written again and again, each read back at once and with another one.
    for (const QString &value : values) {
        const QString key = u"k"_s + QString::number(random.bounded(60));
        QVERIFY(settings::save(app, u"Random"_s, key, value));
        expected.insert(key, value);
        QCOMPARE(settings::get(app, u"RANDOM"_s, key.toUpper(), u"absent"_s), value);
        const QString probe = expected.keys().at(random.bounded(expected.size()));
        QCOMPARE(settings::get(app, u"RANDOM"_s, probe.toUpper(), u"absent"_s), expected[probe]);
    }
    QCOMPARE(settings::get(app, u"Shell"_s, u"Owner"_s), QString::fromUtf16(u"Ren\u00e9"));

    QVERIFY(!settings::save(app, u"EXIT"_s, u"x"_s, u"0\r\n[EXIT]\r\nx=1"_s));
    QVERIFY(settings::remove(app, u"RANDOM"_s, u"K1"_s));
    QCOMPARE(settings::get(app, u"Random"_s, u"k1"_s, u"absent"_s), u"absent"_s);
}

void TestSettingsStore::matchesNamesWithoutCase()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "Default", "ThemeDir", "\\Themes\\Blue\\"));
    QVERIFY(settings::save(app, "DEFAULT", "Password", "secret"));
    QVERIFY(settings::save(app, "default", "THEMEDIR", "\\Themes\\Red\\"));
    QCOMPARE(settings::get(app, "default", "PASSWORD"), "secret");
    QCOMPARE(readBytes(settings::filePath(app)),
             QByteArray("[Default]\r\nThemeDir=\\Themes\\Red\\\r\nPassword=secret\r\n"));
}

void TestSettingsStore::keepsTheStorePrivate()
{
    TestEnvironment env;
    QVERIFY(settings::save(app, "DEFAULT", "Password", "secret"));
    const QFileInfo file(settings::filePath(app));
    QCOMPARE(file.absoluteFilePath(), env.root() + u"/config/KESTA Terminal/settings.ini"_s);
    QCOMPARE(QFile::permissions(file.absolutePath()) & 0x7077, privateFolder);
    QCOMPARE(QFile::permissions(file.absoluteFilePath()) & 0x7077,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestSettingsStore::seesTheShellsWritesAtOnce()
{
    TestEnvironment env;
    const QString store = qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-store"_s;
    QVERIFY(settings::save(app, "EXIT", "KESTA Terminal - Security", "0"));
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), "0");
    QCOMPARE(QProcess::execute(store, {"set", "exit", "kesta terminal - security", " 1"}), 0);
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), " 1");
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
