#include "recording_sound_output.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

// Theme folder on disk: <root>/shell/Themes/Blue/, reached the way the shell stores it.
class TestThemeSound : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void obeysTheThemeSwitches_data();
    void obeysTheThemeSwitches();
    void readsTheSwitchesOnEveryCall();
    void findsTheFileByEitherNameForm_data();
    void findsTheFileByEitherNameForm();

private:
    QString themeFile(const QString &name) const
    {
        return m_env->path("shell/Themes/Blue/" + name);
    }
    void writeSwitches(const QByteArray &skn) { writeBytes(themeFile("terminal.skn"), skn); }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<RecordingSoundOutput> m_output;
    skin::Theme m_theme;
    QString m_startFolder;
};

void TestThemeSound::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_output = std::make_unique<RecordingSoundOutput>();
    m_theme = skin::Theme(m_env->path("shell"), "\\Themes\\Blue\\", "Security");
    writeBytes(themeFile("beep.wav"), "RIFF....WAVE");
    m_startFolder = QDir::currentPath();
}

void TestThemeSound::cleanup()
{
    QDir::setCurrent(m_startFolder);
    m_output.reset();
    m_env.reset();
}

void TestThemeSound::obeysTheThemeSwitches_data()
{
    QTest::addColumn<QByteArray>("skn"); // null: the theme has no terminal.skn
    QTest::addColumn<bool>("plays");
    QTest::addColumn<bool>("overlap");

    QTest::newRow("no terminal.skn") << QByteArray() << true << false;
    QTest::newRow("Sound False") << QByteArray("[DEFAULT]\nSound=False\n") << false << false;
    QTest::newRow("Sound no Boolean") << QByteArray("[DEFAULT]\nSound=off\n") << true << false;
    QTest::newRow("Multiple True") << QByteArray("[DEFAULT]\nMultiple=True\n") << true << true;
    QTest::newRow("Multiple no Boolean")
        << QByteArray("[DEFAULT]\nMultiple=yes\n") << true << false;
    QTest::newRow("Sound False wins")
        << QByteArray("[DEFAULT]\nMultiple=True\nSound=FALSE\n") << false << false;
}

void TestThemeSound::obeysTheThemeSwitches()
{
    QFETCH(QByteArray, skn);
    QFETCH(bool, plays);
    QFETCH(bool, overlap);
    if (!skn.isNull())
        writeSwitches(skn);

    ThemeSound(m_theme, "beep", false);
    ThemeSound(m_theme, "beep", true);

    QCOMPARE(m_output->played.size(), plays ? 2 : 0);
    for (int i = 0; i < m_output->played.size(); ++i) {
        QCOMPARE(m_output->played[i].overlap, overlap);
        QCOMPARE(m_output->played[i].wait, i == 1);
    }
    QVERIFY(m_env->messages.isEmpty());
}

void TestThemeSound::readsTheSwitchesOnEveryCall()
{
    writeSwitches("[DEFAULT]\nSound=False\n");
    ThemeSound(m_theme, "beep", false);
    writeSwitches("[DEFAULT]\nMultiple=True\n");
    ThemeSound(m_theme, "beep", false);
    QVERIFY(QFile::remove(themeFile("terminal.skn")));
    ThemeSound(m_theme, "beep", false);

    QCOMPARE(m_output->played.size(), 2);
    QCOMPARE(m_output->played[0].overlap, true);
    QCOMPARE(m_output->played[1].overlap, false);
}

void TestThemeSound::findsTheFileByEitherNameForm_data()
{
    // Paths are below the test's root folder, which is also the current folder. A file named
    // with a trailing "=" is created empty, one with a trailing "/" is a folder.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("played"); // empty: nothing

    const QString theme = "shell/Themes/Blue/";
    QTest::newRow("theme name, other case")
        << QStringList{theme + "Click.WAV"} << "click" << theme + "Click.WAV";
    QTest::newRow("theme name given with extension")
        << QStringList{theme + "click.wav"} << "click.wav" << QString();
    QTest::newRow("full path without extension")
        << QStringList{"sounds/click"} << "<root>/sounds/click"
        << "sounds/click";
    QTest::newRow("full path, only the .wav exists")
        << QStringList{"sounds/click.wav"} << "<root>/sounds/click" << QString();
    QTest::newRow("drive form, no extension added")
        << QStringList{"C:/Sounds/click", theme + "C:/Sounds/click.wav"} << "C:\\Sounds\\click"
        << "C:/Sounds/click";
    QTest::newRow("empty name") << QStringList{theme + ".wav"} << "" << theme + ".wav";
    QTest::newRow("empty file") << QStringList{theme + "click.wav="} << "click" << QString();
    QTest::newRow("folder of that name")
        << QStringList{theme + "click.wav/"} << "click" << QString();
}

void TestThemeSound::findsTheFileByEitherNameForm()
{
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(QString, played);
    QDir::setCurrent(m_env->root());
    for (const QString &file : files) {
        if (file.endsWith('/'))
            QVERIFY(QDir().mkpath(m_env->path(file)));
        else if (file.endsWith('='))
            writeBytes(m_env->path(file.chopped(1)), {});
        else
            writeBytes(m_env->path(file), "RIFF....WAVE");
    }

    ThemeSound(m_theme, name.replace("<root>", m_env->root()), false);

    QVERIFY(m_env->messages.isEmpty());
    if (played.isEmpty()) {
        QVERIFY(m_output->played.isEmpty());
        return;
    }
    QCOMPARE(m_output->played.size(), 1);
    QCOMPARE(QFileInfo(m_output->played[0].diskPath).canonicalFilePath(),
             QFileInfo(m_env->path(played)).canonicalFilePath());
}

QTEST_GUILESS_MAIN(TestThemeSound)
#include "tst_theme_sound.moc"
