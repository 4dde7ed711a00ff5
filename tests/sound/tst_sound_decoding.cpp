// Every WAV encoding a theme may ship decodes to the same tone, what is no sound is refused, and
// the cache decodes a file again only once it changed, keeping what was used last.

#include "sound/sound_cache.h"
#include "sound/sound_decoder.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QTest>

class TestSoundDecoding : public QObject
{
    Q_OBJECT

private slots:
    void decodesEveryThemeEncodingAndRefusesNoise();
    void cacheDecodesOnlyWhenTheFileChanges();

private:
    TestEnvironment m_env;
};

void TestSoundDecoding::decodesEveryThemeEncodingAndRefusesNoise()
{
    for (int i = 0; i < WavEncodingCount; ++i) {
        const WavEncoding &encoding = wavEncodings()[i];
        const QString path = m_env.path(QString(encoding.name) + ".wav");
        QVERIFY(writeToneWav(path, encoding, 500, 440.0, 0.5));
        const auto sound = sound::decodeSound(path);
        QVERIFY2(sound && sound->sampleRate == encoding.sampleRate, encoding.name);
        QCOMPARE(sound->channelCount, encoding.channels);
        // Half a second at half the full scale; ADPCM rounds up to whole blocks.
        const auto *samples = reinterpret_cast<const float *>(sound->samples.constData());
        const float peak = *std::max_element(samples, samples + sound->samples.size() / 4);
        const qint64 extra = sound->frameCount() - encoding.sampleRate / 2;
        QVERIFY2(extra >= 0 && extra <= 2048 && peak > 0.45f && peak < 0.56f, encoding.name);
    }
    // What is no sound is refused.
    const QString path = m_env.path("pcm16-stereo-44100.wav");
    QByteArray wav = readBytes(path), nineChannels = wav;
    nineChannels[22] = 9; // the channel count of the format chunk
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray(4096, 'Z'), wav.left(44), nineChannels}) {
        writeBytes(path, bytes);
        QVERIFY(!sound::decodeSound(path));
    }
}

void TestSoundDecoding::cacheDecodesOnlyWhenTheFileChanges()
{
    // Decodes by name alone: a sound of as many bytes as the file holds, none for "broken".
    QStringList decoded;
    const sound::SoundDecoder decoder =
        [&](const QString &path) -> std::shared_ptr<const sound::DecodedSound> {
        decoded << QFileInfo(path).fileName();
        const QByteArray bytes = readBytes(path);
        return bytes == "broken"
                   ? nullptr
                   : std::make_shared<sound::DecodedSound>(sound::DecodedSound{44100, 1, bytes});
    };
    const QString a = m_env.path("a.wav"), b = m_env.path("b.wav"), c = m_env.path("c.wav");
    for (const QString &path : {a, b, c})
        writeBytes(path, QByteArray(100, 'x'));
    writeBytes(m_env.path("d.wav"), "broken");
    sound::SoundCache cache(200, decoder);
    // c goes over the budget: b, used longest ago, goes.
    for (const QString &path : {a, b, a, c, a, b, m_env.path("d.wav"), m_env.path("d.wav")})
        cache.sound(path);
    QCOMPARE(decoded.join(' '), "a.wav b.wav c.wav b.wav d.wav");
    QCOMPARE(cache.heldBytes(), 200);

    // Another length, another time, or another file of the same size and time: decoded again.
    const auto touch = [](const QString &path, const QDateTime &time) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    sound::SoundCache large(1 << 24, decoder);
    for (const QString &path : {a, b, c})
        large.sound(path);
    const QDateTime time = QFileInfo(a).lastModified();
    writeBytes(a, QByteArray(99, 'x'));
    touch(b, time.addSecs(5));
    writeBytes(m_env.path("other.wav"), QByteArray(100, 'x'));
    touch(m_env.path("other.wav"), QFileInfo(c).lastModified());
    QVERIFY(QFile::remove(c) && QFile::rename(m_env.path("other.wav"), c));
    decoded.clear();
    for (const QString &path : {a, b, c})
        QVERIFY(large.sound(path) && large.sound(path));
    QCOMPARE(decoded.join(' '), "a.wav b.wav c.wav");
    QVERIFY(QFile::remove(a) && !large.sound(a));
}

QTEST_GUILESS_MAIN(TestSoundDecoding)
#include "tst_sound_decoding.moc"
