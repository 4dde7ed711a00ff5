// ThemeSound: the switches of the theme's terminal.skn, read on every call, and the file a name
// stands for. The theme folder is <root>/T/Themes/Blue/, reached as the shell stores it; the
// root is also the current folder.

#include "recording_sound_output.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"

#include <QDir>
#include <QTest>

class TestThemeSound : public QObject
{
    Q_OBJECT

private slots:
    void plays_data();
    void plays();
};

void TestThemeSound::plays_data()
{
    // The switches of terminal.skn at each of two calls, the first waiting ("-": no
    // terminal.skn), the files below the root (joined by ","; a trailing "=": empty, "/": a
    // folder), the name, and per call "r" replacing, "o" overlapping (upper case: waiting) or "-"
    // nothing, then the file played.
    addTextRows({"first", "second", "files", "name", "played"}, "tables/theme_sound.txt");
}

void TestThemeSound::plays()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, files);
    QFETCH(QString, name);
    QFETCH(QString, played);
    TestEnvironment env;
    RecordingSoundOutput output;
    const skin::Theme theme(env.path("T"), "\\Themes\\Blue\\", "Security");
    QDir::setCurrent(env.root());
    for (QString file : files.replace("B/", "T/Themes/Blue/").split(',')) {
        if (file.endsWith('/'))
            QVERIFY(QDir().mkpath(env.path(file)));
        else
            writeBytes(env.path(QString(file).remove('=')),
                       file.endsWith('=') ? "" : "RIFF....WAVE");
    }
    QString heard;
    for (const QString &switches : {first, second}) {
        const QString skn = env.path("T/Themes/Blue/terminal.skn");
        QFile::remove(skn);
        if (switches != "-")
            writeBytes(skn, "[DEFAULT]\n" + switches.toUtf8() + '\n');
        const qsizetype before = output.played.size();
        ThemeSound(theme, QString(name).replace("ROOT", env.root()), heard.isEmpty());
        const auto sound = output.played.value(before);
        const QChar kind = sound.diskPath.isEmpty() ? '-' : sound.overlap ? 'o' : 'r';
        heard += sound.wait ? kind.toUpper() : kind;
    }
    if (!output.played.isEmpty())
        heard += ' ' + QFileInfo(output.played[0].diskPath)
                           .canonicalFilePath()
                           .mid(QFileInfo(env.root()).canonicalFilePath().size() + 1);
    QCOMPARE(heard, played.replace("B/", "T/Themes/Blue/"));
    QVERIFY(env.messages.isEmpty());
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}

QTEST_GUILESS_MAIN(TestThemeSound)
#include "tst_theme_sound.moc"
