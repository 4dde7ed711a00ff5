#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>

// A sound server that accepts the connection and never answers, then none at all: sounds are
// silence and the caller's thread goes on either way.
class TestSoundWithoutServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hungServerDoesNotHoldTheCaller();
    void noServerIsSilence();

private:
    void playSome();

    TestEnvironment m_env;
    skin::Theme m_theme;
    QString m_socketPath;
};

void TestSoundWithoutServer::initTestCase()
{
    m_socketPath = m_env.path("pulse/native");
    qputenv("PULSE_SERVER", ("unix:" + m_socketPath).toLocal8Bit());

    m_theme = skin::Theme(m_env.path("shell"), "\\Themes\\Blue\\", "Security");
    QVERIFY(writeToneWav(m_env.path("shell/Themes/Blue/tone.wav"), wavEncodings()[1], 300));
    writeBytes(m_env.path("shell/Themes/Blue/broken.wav"), "RIFF\x10\0\0\0WAVEjunk");
}

void TestSoundWithoutServer::playSome()
{
    const QString switches = m_env.path("shell/Themes/Blue/terminal.skn");
    for (int i = 0; i < 10; ++i) {
        writeBytes(switches, i % 2 ? "[DEFAULT]\nMultiple=True\n" : "[DEFAULT]\nMultiple=False\n");
        ThemeSound(m_theme, "tone", false);
        ThemeSound(m_theme, "broken", false);
    }
    ThemeSound(m_theme, "broken", true);
    // The sound cannot begin; waiting gives up instead of holding the caller for good.
    ThemeSound(m_theme, "tone", true);
}

void TestSoundWithoutServer::hungServerDoesNotHoldTheCaller()
{
    QLocalServer server;
    QVERIFY(server.listen(m_socketPath));
    ThemeSound(m_theme, "tone", false);

    // The output connects on its own thread and stops at the greeting, waiting for an answer
    // that never comes. The client library gives up only after many seconds.
    QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 20000);
    std::unique_ptr<QLocalSocket> client(server.nextPendingConnection());
    QTRY_VERIFY_WITH_TIMEOUT(client->bytesAvailable() > 0, 20000);

    playSome();

    // Had any of those calls waited for the device, it could only have returned once the client
    // library had given up and closed the connection.
    client->readAll();
    QTest::qWait(10);
    QCOMPARE(client->state(), QLocalSocket::ConnectedState);
    QVERIFY(m_env.messages.isEmpty());

    // Hanging up ends the connection; with the socket gone, the next try is refused.
    client.reset();
    server.close();
}

void TestSoundWithoutServer::noServerIsSilence()
{
    playSome();
    QVERIFY(m_env.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestSoundWithoutServer)
#include "tst_sound_without_server.moc"
