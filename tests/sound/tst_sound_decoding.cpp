// Every WAV encoding a theme may ship decodes to the same tone, what is no sound is refused, and
// the cache decodes a file again only once it changed.

#include "sound/sound_cache.h"
#include "sound/sound_decoder.h"
#include "test_environment.h"
#include "tone_wav.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using sound::DecodedSound;

namespace {

// Zero crossings of the first channel in the first frames (twice the frequency per second of a
// clean tone, so a wrong rate, channel order or garbage all show) and their loudest sample. A
// crossing counts only once the signal has gone well past zero, so coding noise near zero is
// not counted.
std::pair<int, float> crossingsAndPeak(const DecodedSound &sound, qint64 frames)
{
    const auto *samples = reinterpret_cast<const float *>(sound.samples.constData());
    int crossings = 0, side = 0;
    float peak = 0;
    for (qint64 i = 0; i < std::min(frames, sound.frameCount()) * sound.channelCount; ++i) {
        peak = std::max(peak, std::abs(samples[i]));
        if (i % sound.channelCount)
            continue;
        const int now = samples[i] > 0.1f ? 1 : samples[i] < -0.1f ? -1 : side;
        crossings += side != 0 && now != side;
        side = now;
    }
    return {crossings, peak};
}

void setModified(const QString &file, const QDateTime &time)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class TestSoundDecoding : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_decoded.clear(); }
    void decodesEveryThemeEncoding();
    void refusesWhatIsNoSound();
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

void TestSoundDecoding::decodesEveryThemeEncoding()
{
    for (int i = 0; i < WavEncodingCount; ++i) {
        const WavEncoding &encoding = wavEncodings()[i];
        const QString path = m_env.path(QString::fromLatin1(encoding.name) + u".wav"_s);
        QVERIFY(writeToneWav(path, encoding, 500, 440.0, 0.5));

        const auto sound = sound::decodeSound(path);
        QVERIFY2(sound, encoding.name);
        QCOMPARE(sound->sampleRate, encoding.sampleRate);
        QCOMPARE(sound->channelCount, encoding.channels);
        // Half a second of 440 Hz at half the full scale; ADPCM rounds up to whole blocks.
        const qint64 extra = sound->frameCount() - encoding.sampleRate / 2;
        const auto [crossings, peak] = crossingsAndPeak(*sound, encoding.sampleRate / 2);
        QVERIFY2(extra >= 0 && extra <= 2048 && std::abs(crossings - 440) <= 4 && peak > 0.45f &&
                     peak < 0.56f,
                 qPrintable(u"%1: %2 frames more, %3 crossings, peak %4"_s.arg(encoding.name)
                                .arg(extra)
                                .arg(crossings)
                                .arg(peak)));
    }
}

void TestSoundDecoding::refusesWhatIsNoSound()
{
    const QString path = m_env.path(u"tone.wav"_s);
    QVERIFY(writeToneWav(path, wavEncodings()[1], 1000));
    const QByteArray wav = readBytes(path);
    QByteArray noise(4096, '\0'), nineChannels = wav;
    QRandomGenerator(12345).fillRange(reinterpret_cast<quint32 *>(noise.data()), 1024);
    nineChannels[22] = 9; // the channel count of the format chunk

    for (const QByteArray &bytes :
         {QByteArray(), noise, wav.left(20), wav.left(44), nineChannels}) {
        writeBytes(path, bytes);
        QVERIFY(!sound::decodeSound(path));
    }
    QVERIFY(!sound::decodeSound(m_env.path(u"missing.wav"_s)));

    // A file cut short keeps the frames it holds.
    writeBytes(path, wav.left(wav.size() / 2));
    const auto sound = sound::decodeSound(path);
    QVERIFY(sound && sound->frameCount() > 44100 / 3 && sound->frameCount() < 44100 * 2 / 3);
}

void TestSoundDecoding::cacheDecodesOnlyWhenTheFileChanges_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "broken" does not decode
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("decodesAgain");
    QTest::newRow("untouched") << QByteArray("tone") << u"none"_s << false;
    QTest::newRow("broken, untouched") << QByteArray("broken") << u"none"_s << false;
    QTest::newRow("broken, rewritten") << QByteArray("broken") << u"length"_s << true;
    QTest::newRow("other length") << QByteArray("tone") << u"length"_s << true;
    QTest::newRow("same length, new time") << QByteArray("tone") << u"time"_s << true;
    QTest::newRow("replaced by a file of same size and time")
        << QByteArray("tone") << u"replace"_s << true;
    QTest::newRow("deleted") << QByteArray("tone") << u"delete"_s << false;
}

void TestSoundDecoding::cacheDecodesOnlyWhenTheFileChanges()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, change);
    QFETCH(bool, decodesAgain);
    const QString path = m_env.path(u"hover.wav"_s);
    writeBytes(path, bytes);
    const QDateTime time = QFileInfo(path).lastModified();
    sound::SoundCache cache(1 << 24, countingDecoder());
    const auto first = cache.sound(path);
    QCOMPARE(cache.sound(path), first);

    if (change == u"length") {
        writeBytes(path, "a longer tone");
    } else if (change == u"time") {
        setModified(path, time.addSecs(5));
    } else if (change == u"replace") {
        const QString other = m_env.path(u"other.wav"_s);
        writeBytes(other, bytes);
        setModified(other, time);
        QVERIFY(QFile::remove(path) && QFile::rename(other, path));
    } else if (change == u"delete") {
        QVERIFY(QFile::remove(path));
    }

    const auto second = cache.sound(path);
    QCOMPARE(m_decoded.size(), decodesAgain ? 2 : 1);
    if (change == u"delete")
        QVERIFY(!second && cache.entryCount() == 0 && cache.heldBytes() == 0);
    else if (decodesAgain)
        QVERIFY(second && second != first);
    QFile::remove(path);
}

void TestSoundDecoding::cacheDropsLeastRecentlyUsedOverBudget()
{
    const QString a = m_env.path(u"a.wav"_s), b = m_env.path(u"b.wav"_s),
                  c = m_env.path(u"c.wav"_s);
    for (const QString &path : {a, b, c})
        writeBytes(path, QByteArray(100, 'x'));
    sound::SoundCache cache(200, countingDecoder());
    for (const QString &path :
         {a, b, a, c, a, b}) // c goes over the budget: b, used longest ago, goes
        cache.sound(path);
    QCOMPARE(m_decoded, QStringList({u"a.wav"_s, u"b.wav"_s, u"c.wav"_s, u"b.wav"_s}));
    QCOMPARE(cache.heldBytes(), 200);

    sound::SoundCache tiny(50, countingDecoder());
    QVERIFY(tiny.sound(a)); // larger than the whole budget: played, not kept
    QCOMPARE(tiny.heldBytes(), 0);
}

QTEST_GUILESS_MAIN(TestSoundDecoding)
#include "tst_sound_decoding.moc"
