#include "sound/sound_cache.h"
#include "sound/sound_decoder.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

#include <cmath>

using sound::DecodedSound;
using sound::decodeSound;
using sound::SoundCache;

namespace {

// Zero crossings of the first channel: twice the frequency per second of a clean tone, so a
// wrong rate, a wrong channel order or garbage all show. A crossing counts only once the signal
// has gone well past zero, so coding noise near zero is not counted.
int zeroCrossings(const DecodedSound &sound, qint64 frames)
{
    const auto *samples = reinterpret_cast<const float *>(sound.samples.constData());
    int crossings = 0;
    int side = 0;
    for (qint64 frame = 0; frame < std::min(frames, sound.frameCount()); ++frame) {
        const float value = samples[frame * sound.channelCount];
        const int now = value > 0.1f ? 1 : value < -0.1f ? -1 : side;
        if (side != 0 && now != side)
            ++crossings;
        side = now;
    }
    return crossings;
}

float peakOf(const DecodedSound &sound)
{
    const auto *samples = reinterpret_cast<const float *>(sound.samples.constData());
    float peak = 0;
    for (qint64 i = 0; i < sound.frameCount() * sound.channelCount; ++i)
        peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

} // namespace

class TestSoundDecoding : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_decoded.clear(); }
    void decodesEveryThemeEncoding_data();
    void decodesEveryThemeEncoding();
    void refusesWhatIsNoSound_data();
    void refusesWhatIsNoSound();
    void keepsTheFramesOfAFileCutShort();

    void cacheDecodesOnlyWhenTheFileChanges_data();
    void cacheDecodesOnlyWhenTheFileChanges();
    void cacheDropsLeastRecentlyUsedOverBudget();

private:
    // Decodes by name alone: a sound of as many sample bytes as the file holds, none for a file
    // that starts with "broken"; remembers the file names it decoded.
    sound::SoundDecoder countingDecoder()
    {
        return [this](const QString &path) -> std::shared_ptr<const DecodedSound> {
            m_decoded.append(QFileInfo(path).fileName());
            const QByteArray bytes = readBytes(path);
            if (bytes.startsWith("broken"))
                return nullptr;
            return std::make_shared<DecodedSound>(DecodedSound{44100, 1, bytes});
        };
    }

    TestEnvironment m_env;
    QStringList m_decoded;
};

void TestSoundDecoding::decodesEveryThemeEncoding_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < WavEncodingCount; ++i)
        QTest::newRow(wavEncodings()[i].name) << i;
}

void TestSoundDecoding::decodesEveryThemeEncoding()
{
    QFETCH(int, index);
    const WavEncoding &encoding = wavEncodings()[index];
    const QString path = m_env.path(QString::fromLatin1(encoding.name) + ".wav");
    QVERIFY(writeToneWav(path, encoding, 500, 440.0, 0.5));

    const auto sound = decodeSound(path);
    QVERIFY(sound);
    QCOMPARE(sound->sampleRate, encoding.sampleRate);
    QCOMPARE(sound->channelCount, encoding.channels);
    // ADPCM rounds the length up to whole blocks.
    const qint64 frames = encoding.sampleRate / 2;
    QVERIFY2(sound->frameCount() >= frames && sound->frameCount() <= frames + 2048,
             qPrintable(QString::number(sound->frameCount())));
    const int crossings = zeroCrossings(*sound, frames);
    QVERIFY2(std::abs(crossings - 440) <= 4, qPrintable(QString::number(crossings)));
    const float peak = peakOf(*sound);
    QVERIFY2(peak > 0.45f && peak < 0.56f, qPrintable(QString::number(peak)));
}

void TestSoundDecoding::refusesWhatIsNoSound_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QByteArray wav;
    {
        const QString path = m_env.path("valid.wav");
        writeToneWav(path, wavEncodings()[1], 100);
        wav = readBytes(path);
    }
    QByteArray noise(4096, '\0');
    quint32 state = 12345;
    for (char &byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    QByteArray tooManyChannels = wav;
    tooManyChannels[22] = 9; // channel count of the format chunk

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("noise") << noise;
    QTest::newRow("header cut") << wav.left(20);
    QTest::newRow("header, no frames") << wav.left(44);
    QTest::newRow("nine channels") << tooManyChannels;
}

void TestSoundDecoding::refusesWhatIsNoSound()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_env.path("broken.wav");
    writeBytes(path, bytes);
    QVERIFY(!decodeSound(path));
    QVERIFY(!decodeSound(m_env.path("missing.wav")));
}

void TestSoundDecoding::keepsTheFramesOfAFileCutShort()
{
    const QString path = m_env.path("cut.wav");
    QVERIFY(writeToneWav(path, wavEncodings()[1], 1000));
    const QByteArray whole = readBytes(path);
    writeBytes(path, whole.left(whole.size() / 2));

    const auto sound = decodeSound(path);
    QVERIFY(sound);
    QVERIFY(sound->frameCount() > 44100 / 3);
    QVERIFY(sound->frameCount() < 44100 * 2 / 3);
}

void TestSoundDecoding::cacheDecodesOnlyWhenTheFileChanges_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "broken" does not decode
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("decodesAgain");
    QTest::newRow("untouched") << QByteArray("tone") << "none" << false;
    QTest::newRow("broken, untouched") << QByteArray("broken") << "none" << false;
    QTest::newRow("broken, rewritten") << QByteArray("broken") << "length" << true;
    QTest::newRow("other length") << QByteArray("tone") << "length" << true;
    QTest::newRow("same length, new time") << QByteArray("tone") << "time" << true;
    QTest::newRow("replaced by a file of same size and time")
        << QByteArray("tone") << "replace" << true;
    QTest::newRow("deleted") << QByteArray("tone") << "delete" << false;
}

void TestSoundDecoding::cacheDecodesOnlyWhenTheFileChanges()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, change);
    QFETCH(bool, decodesAgain);
    const QString path = m_env.path("hover.wav");
    writeBytes(path, bytes);
    const QDateTime time = QFileInfo(path).lastModified();
    SoundCache cache(1 << 24, countingDecoder());
    const auto first = cache.sound(path);
    QCOMPARE(cache.sound(path), first);
    QCOMPARE(m_decoded.size(), 1);

    const auto setTime = [](const QString &file, const QDateTime &to) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(to, QFileDevice::FileModificationTime));
    };
    if (change == "length") {
        writeBytes(path, "a longer tone");
    } else if (change == "time") {
        setTime(path, time.addSecs(5));
    } else if (change == "replace") {
        const QString other = m_env.path("other.wav");
        writeBytes(other, bytes);
        setTime(other, time);
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(other, path));
    } else if (change == "delete") {
        QVERIFY(QFile::remove(path));
    }

    const auto second = cache.sound(path);
    QCOMPARE(m_decoded.size(), decodesAgain ? 2 : 1);
    if (change == "delete")
        QVERIFY(!second && cache.entryCount() == 0 && cache.heldBytes() == 0);
    else if (decodesAgain)
        QVERIFY(second && second != first);
    QFile::remove(path);
}

void TestSoundDecoding::cacheDropsLeastRecentlyUsedOverBudget()
{
    const QString a = m_env.path("a.wav"), b = m_env.path("b.wav"), c = m_env.path("c.wav");
    for (const QString &path : {a, b, c})
        writeBytes(path, QByteArray(100, 'x'));
    SoundCache cache(200, countingDecoder());
    cache.sound(a);
    cache.sound(b);
    cache.sound(a); // a is now the more recent of the two
    cache.sound(c); // over budget: b goes
    QCOMPARE(cache.heldBytes(), 200);
    cache.sound(a);
    cache.sound(b);
    QCOMPARE(m_decoded, QStringList({"a.wav", "b.wav", "c.wav", "b.wav"}));

    SoundCache tiny(50, countingDecoder());
    QVERIFY(tiny.sound(a)); // larger than the whole budget: played, not kept
    QCOMPARE(tiny.heldBytes(), 0);
}

QTEST_GUILESS_MAIN(TestSoundDecoding)
#include "tst_sound_decoding.moc"
