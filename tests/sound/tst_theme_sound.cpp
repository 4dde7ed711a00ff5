// ThemeSound: the switches of the theme's terminal.skn, read on every call, and the file a name
// stands for. The theme folder is <root>/shell/Themes/Blue/, reached as the shell stores it.

#include "recording_sound_output.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class TestThemeSound : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void obeysTheThemeSwitches_data();
    void obeysTheThemeSwitches();
    void findsTheFileByEitherNameForm_data();
    void findsTheFileByEitherNameForm();

private:
    QString themeFile(const QString &name) const
    {
        return m_env->path(u"shell/Themes/Blue/"_s + name);
    }

    std::unique_ptr<TestEnvironment> m_env;
    skin::Theme m_theme;
    std::unique_ptr<RecordingSoundOutput> m_output;
    QString m_startFolder;
};

void TestThemeSound::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_output = std::make_unique<RecordingSoundOutput>();
    m_theme = skin::Theme(m_env->path(u"shell"_s), u"\\Themes\\Blue\\"_s, u"Security"_s);
    writeBytes(themeFile(u"beep.wav"_s), "RIFF....WAVE");
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
    // The switches at each of two calls, the first waiting for its sound; null: the theme has
    // no terminal.skn.
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    // Per call "r" replacing, "o" overlapping (upper case: waiting) or "-" nothing played.
    QTest::addColumn<QString>("played");
    QTest::newRow("no terminal.skn") << QByteArray() << QByteArray() << u"Rr"_s;
    QTest::newRow("Sound False") << QByteArray("Sound=False") << QByteArray("Sound=0") << u"--"_s;
    QTest::newRow("Sound no Boolean") << QByteArray("Sound=off") << QByteArray() << u"Rr"_s;
    QTest::newRow("Multiple True, then not")
        << QByteArray("Multiple=True") << QByteArray("x") << u"Or"_s;
    QTest::newRow("Multiple no Boolean") << QByteArray("Multiple=yes") << QByteArray() << u"Rr"_s;
    QTest::newRow("Sound False wins")
        << QByteArray("Multiple=True\nSound=FALSE") << QByteArray("Multiple=1") << u"-o"_s;
}

void TestThemeSound::obeysTheThemeSwitches()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QString, played);
    QString heard;
    for (const QByteArray &switches : {first, second}) {
        if (switches.isNull())
            QFile::remove(themeFile(u"terminal.skn"_s));
        else
            writeBytes(themeFile(u"terminal.skn"_s), "[DEFAULT]\n" + switches + '\n');
        m_output->played.clear();
        ThemeSound(m_theme, u"beep"_s, heard.isEmpty());
        if (m_output->played.isEmpty()) {
            heard += u'-';
            continue;
        }
        const QChar kind = m_output->played[0].overlap ? u'o' : u'r';
        heard += m_output->played[0].wait ? kind.toUpper() : kind;
    }
    QCOMPARE(heard, played);
    QVERIFY(m_env->messages.isEmpty());
}

void TestThemeSound::findsTheFileByEitherNameForm_data()
{
    // Paths are below the test's root folder, which is also the current folder. A file named
    // with a trailing "=" is created empty, one with a trailing "/" is a folder.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("played"); // empty: nothing

    const QString theme = u"shell/Themes/Blue/"_s;
    QTest::newRow("theme name, other case")
        << QStringList{theme + u"Click.WAV"_s} << u"click"_s << theme + u"Click.WAV"_s;
    QTest::newRow("theme name given with extension")
        << QStringList{theme + u"click.wav"_s} << u"click.wav"_s << QString();
    QTest::newRow("full path without extension")
        << QStringList{u"sounds/click"_s} << u"<root>/sounds/click"_s << u"sounds/click"_s;
    QTest::newRow("full path, only the .wav exists")
        << QStringList{u"sounds/click.wav"_s} << u"<root>/sounds/click"_s << QString();
    QTest::newRow("drive form, no extension added")
        << QStringList{u"C:/Sounds/click"_s, theme + u"C:/Sounds/click.wav"_s}
        << u"C:\\Sounds\\click"_s << u"C:/Sounds/click"_s;
    QTest::newRow("empty name") << QStringList{theme + u".wav"_s} << QString() << theme + u".wav"_s;
    QTest::newRow("empty file") << QStringList{theme + u"click.wav="_s} << u"click"_s << QString();
    QTest::newRow("folder of that name")
        << QStringList{theme + u"click.wav/"_s} << u"click"_s << QString();
}

void TestThemeSound::findsTheFileByEitherNameForm()
{
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(QString, played);
    QDir::setCurrent(m_env->root());
    for (const QString &file : files) {
        if (file.endsWith(u'/'))
            QVERIFY(QDir().mkpath(m_env->path(file)));
        else
            writeBytes(m_env->path(file.chopped(file.endsWith(u'=') ? 1 : 0)),
                       file.endsWith(u'=') ? "" : "RIFF....WAVE");
    }

    ThemeSound(m_theme, name.replace(u"<root>"_s, m_env->root()), false);

    QCOMPARE(m_output->played.size(), played.isEmpty() ? 0 : 1);
    if (!played.isEmpty())
        QCOMPARE(QFileInfo(m_output->played[0].diskPath).canonicalFilePath(),
                 QFileInfo(m_env->path(played)).canonicalFilePath());
}

QTEST_GUILESS_MAIN(TestThemeSound)
#include "tst_theme_sound.moc"
