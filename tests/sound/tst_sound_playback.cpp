#include "private_pulse_server.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QElapsedTimer>
#include <QTest>

// Plays real files through a sound server of the test's own and listens to what came out.
class TestSoundPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void everyThemeEncodingSounds_data();
    void everyThemeEncodingSounds();
    void soundSwitchedOffIsSilent();
    void replacesOrOverlapsTheSoundStillPlaying_data();
    void replacesOrOverlapsTheSoundStillPlaying();
    void playsAgainOnceTheServerIsBack();

private:
    QString themeSound(const QString &name, int durationMs, int encoding = 1);
    void writeSwitches(const QByteArray &skn);
    // Waits until the server has been quiet for a while, so the next sound is heard alone.
    bool waitForQuiet();
    // Waits until a sound has come out after frame `from` and ended; returns its loud frames.
    qint64 heardSince(qint64 from);
    // Plays the sound every 200 ms, as hovers do, until it is heard; false when it is not heard
    // within 2 s.
    bool heardWithinTwoSeconds(const QString &name);

    TestEnvironment m_env;
    skin::Theme m_theme;
    std::unique_ptr<PrivatePulseServer> m_server;
};

static constexpr qint64 framesOf(int durationMs)
{
    return qint64(PrivatePulseServer::RecordRate) * durationMs / 1000;
}

void TestSoundPlayback::initTestCase()
{
    m_server = std::make_unique<PrivatePulseServer>(m_env.path("pulse"));
    qputenv("PULSE_SERVER", m_server->address().toLocal8Bit());
    m_theme = skin::Theme(m_env.path("shell"), "\\Themes\\Blue\\", "Security");
    writeSwitches("[DEFAULT]\n");
    // The very first sound finds no server: refused, and silent.
    ThemeSound(m_theme, themeSound("refused", 100), true);

    if (!m_server->start()) {
        const QString why = m_server->error();
        m_server.reset();
        QSKIP(qPrintable("no sound server for the test: " + why));
    }
    QVERIFY(m_server->startRecording());
    QVERIFY(heardWithinTwoSeconds(themeSound("first", 100)));
}

void TestSoundPlayback::cleanupTestCase()
{
    m_server.reset();
}

void TestSoundPlayback::init()
{
    writeSwitches("[DEFAULT]\nSound=True\nMultiple=False\n");
    QVERIFY2(waitForQuiet(), "the sink never fell quiet");
    // Every sound heard, the stream pauses: silence costs the server nothing.
    QTRY_VERIFY(m_server->sinkInputs().contains("Corked: yes"));
}

QString TestSoundPlayback::themeSound(const QString &name, int durationMs, int encoding)
{
    const QString path = m_env.path("shell/Themes/Blue/" + name + ".wav");
    if (!writeToneWav(path, wavEncodings()[encoding], durationMs))
        qWarning() << "cannot write" << path;
    return name;
}

void TestSoundPlayback::writeSwitches(const QByteArray &skn)
{
    writeBytes(m_env.path("shell/Themes/Blue/terminal.skn"), skn);
}

bool TestSoundPlayback::waitForQuiet()
{
    for (int i = 0; i < 300; ++i) {
        if (m_server->endsInSilence(framesOf(250)))
            return true;
        QTest::qWait(50);
    }
    return false;
}

bool TestSoundPlayback::heardWithinTwoSeconds(const QString &name)
{
    const qint64 mark = m_server->recordedFrames();
    QElapsedTimer clock;
    clock.start();
    while (!clock.hasExpired(2000)) {
        ThemeSound(m_theme, name, false);
        for (int i = 0; i < 4; ++i) {
            QTest::qWait(50);
            if (m_server->loudFramesSince(mark) > 0)
                return true;
        }
    }
    return false;
}

qint64 TestSoundPlayback::heardSince(qint64 from)
{
    for (int i = 0; i < 200 && m_server->loudFramesSince(from) == 0; ++i)
        QTest::qWait(50);
    waitForQuiet();
    return m_server->loudFramesSince(from);
}

void TestSoundPlayback::everyThemeEncodingSounds_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("durationMs");
    for (int i = 0; i < WavEncodingCount; ++i)
        QTest::newRow(wavEncodings()[i].name) << i << 400;
    // Shorter than what the server wants buffered before it starts a stream.
    QTest::newRow("short-click") << 1 << 40;
}

void TestSoundPlayback::everyThemeEncodingSounds()
{
    QFETCH(int, index);
    QFETCH(int, durationMs);
    const QString name = themeSound(QTest::currentDataTag(), durationMs, index);
    const qint64 mark = m_server->recordedFrames();

    ThemeSound(m_theme, name, true);

    // A clean tone is loud in nearly every frame; the whole of it must come out, not a start.
    const qint64 heard = heardSince(mark);
    QVERIFY2(heard > framesOf(durationMs) * 9 / 10 && heard < framesOf(durationMs) * 11 / 10,
             qPrintable(QString::number(heard)));
    QVERIFY(m_env.messages.isEmpty());
}

void TestSoundPlayback::soundSwitchedOffIsSilent()
{
    const QString off = themeSound("long", 1500);
    const QString marker = themeSound("marker", 300);
    const qint64 mark = m_server->recordedFrames();

    writeSwitches("[DEFAULT]\nSound=False\n");
    ThemeSound(m_theme, off, true); // returns at once: nothing plays
    writeSwitches("[DEFAULT]\nSound=True\n");
    ThemeSound(m_theme, marker, true);

    const qint64 heard = heardSince(mark);
    QVERIFY2(heard > framesOf(300) * 9 / 10 && heard < framesOf(300) * 11 / 10,
             qPrintable(QString::number(heard)));
}

void TestSoundPlayback::replacesOrOverlapsTheSoundStillPlaying_data()
{
    QTest::addColumn<QByteArray>("skn");
    QTest::addColumn<bool>("overlap");
    QTest::newRow("Multiple False") << QByteArray("[DEFAULT]\nMultiple=False\n") << false;
    QTest::newRow("Multiple True") << QByteArray("[DEFAULT]\nMultiple=True\n") << true;
}

void TestSoundPlayback::replacesOrOverlapsTheSoundStillPlaying()
{
    QFETCH(QByteArray, skn);
    QFETCH(bool, overlap);
    const QString first = themeSound("first", 1500);
    const QString second = themeSound("second", 300);
    writeSwitches(skn);
    const qint64 mark = m_server->recordedFrames();

    ThemeSound(m_theme, first, false);
    ThemeSound(m_theme, second, false);

    const qint64 heard = heardSince(mark);
    if (overlap)
        QVERIFY2(heard > framesOf(1500) * 9 / 10, qPrintable(QString::number(heard)));
    else
        QVERIFY2(heard < framesOf(900), qPrintable(QString::number(heard)));
}

void TestSoundPlayback::playsAgainOnceTheServerIsBack()
{
    const QString playing = themeSound("playing", 3000);
    const QString marker = themeSound("marker", 100);
    const qint64 mark = m_server->recordedFrames();
    ThemeSound(m_theme, playing, false);
    QTRY_VERIFY(m_server->loudFramesSince(mark) > 0);

    // Gone in the middle of a sound: silence, and nobody waits for the server.
    m_server->kill();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20; ++i)
        ThemeSound(m_theme, marker, i % 2);
    ThemeSound(m_theme, marker, true);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));

    QVERIFY(m_server->start() && m_server->startRecording());
    QVERIFY(heardWithinTwoSeconds(marker));
}

QTEST_GUILESS_MAIN(TestSoundPlayback)
#include "tst_sound_playback.moc"
