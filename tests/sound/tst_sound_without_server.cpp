// A sound server that accepts the connection and never answers, then none at all: sounds are
// silence and the caller's thread goes on either way.

#include "skin/theme.h"
#include "sound/theme_sound.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSoundWithoutServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hungServerDoesNotHoldTheCaller();
    void noServerIsSilence() { playSome(); }

private:
    void playSome();

    TestEnvironment m_env;
    skin::Theme m_theme;
    QString m_socketPath;
};

void TestSoundWithoutServer::initTestCase()
{
    m_socketPath = m_env.path(u"pulse/native"_s);
    qputenv("PULSE_SERVER", "unix:" + m_socketPath.toLocal8Bit());
    m_theme = skin::Theme(m_env.path(u"shell"_s), u"\\Themes\\Blue\\"_s, u"Security"_s);
    QVERIFY(writeToneWav(m_env.path(u"shell/Themes/Blue/tone.wav"_s), wavEncodings()[1], 300));
    writeBytes(m_env.path(u"shell/Themes/Blue/broken.wav"_s), "RIFF\x10\0\0\0WAVEjunk");
}

void TestSoundWithoutServer::playSome()
{
    const QString switches = m_env.path(u"shell/Themes/Blue/terminal.skn"_s);
    for (int i = 0; i < 10; ++i) {
        writeBytes(switches, i % 2 ? "[DEFAULT]\nMultiple=True\n" : "[DEFAULT]\nMultiple=False\n");
        ThemeSound(m_theme, u"tone"_s, false);
        ThemeSound(m_theme, u"broken"_s, false);
    }
    ThemeSound(m_theme, u"broken"_s, true);
    // The sound cannot begin; waiting gives up instead of holding the caller for good.
    ThemeSound(m_theme, u"tone"_s, true);
    QVERIFY(m_env.messages.isEmpty());
}

void TestSoundWithoutServer::hungServerDoesNotHoldTheCaller()
{
    QLocalServer server;
    QVERIFY(server.listen(m_socketPath));
    ThemeSound(m_theme, u"tone"_s, false);

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
}

QTEST_GUILESS_MAIN(TestSoundWithoutServer)
#include "tst_sound_without_server.moc"
