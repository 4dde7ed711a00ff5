// The sound layer: ThemeSound reads the switches of the theme's terminal.skn on every call and
// finds the file a name stands for; every WAV encoding a theme may ship decodes to the same tone
// and what is no sound is refused; the cache decodes a file again only once it changed; the mixer
// hands the device's stream the sum of its voices, folded to stereo at the stream's rate.

#include "recording_sound_output.h"
#include "skin/theme.h"
#include "sound/sound_cache.h"
#include "sound/sound_decoder.h"
#include "sound/sound_mixer.h"
#include "sound/theme_sound.h"
#include "test_environment.h"

#include <QDir>
#include <QTest>

using sound::DecodedSound;

namespace {

constexpr int StreamRate = 48000;

// A sound of frames frames at rate in which every frame holds frame, or rises to it from silence.
std::shared_ptr<const DecodedSound> steadySound(const QList<float> &frame, int rate = StreamRate,
                                                qint64 frames = StreamRate, bool rising = false)
{
    auto sound = std::make_shared<DecodedSound>(DecodedSound{rate, int(frame.size()), {}});
    for (qint64 i = 0; i < frames; ++i) {
        for (const float level : frame) {
            const float sample = rising ? level * float(i) / float(frames) : level;
            sound->samples.append(reinterpret_cast<const char *>(&sample), sizeof(float));
        }
    }
    return sound;
}

} // namespace

class TestSound : public QObject
{
    Q_OBJECT

private slots:
    void plays_data();
    void plays();
    void decodesEveryThemeEncodingAndRefusesNoise();
    void cacheDecodesOnlyWhenTheFileChanges();
    void replacesOrOverlaps();
    void foldsChannelsAtTheStreamsRate();

private:
    TestEnvironment m_env;
};

void TestSound::plays_data()
{
    // The switches of terminal.skn at each of two calls, the first waiting ("-": no
    // terminal.skn), the files below the root (joined by ","; a trailing "=": empty, "/": a
    // folder), the name, and per call "r" replacing, "o" overlapping (upper case: waiting) or "-"
    // nothing, then the file played.
    addTextRows({"first", "second", "files", "name", "played"}, "tables/theme_sound.txt");
}

void TestSound::plays()
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

// The files of tests/data/sounds: a tenth of a second of 440 Hz at half the full scale, in each
// encoding a theme may ship, named "encoding-channels-rate" (written with bench/tone_wav.cpp).
void TestSound::decodesEveryThemeEncodingAndRefusesNoise()
{
    const QDir folder(testData("sounds"));
    const QStringList names = folder.entryList(QDir::Files);
    QCOMPARE(names.size(), 9);
    for (const QString &name : names) {
        const QStringList parts = name.chopped(4).split('-');
        const int rate = parts.last().toInt();
        const auto sound = sound::decodeSound(folder.filePath(name));
        QVERIFY2(sound && sound->sampleRate == rate, qPrintable(name));
        QCOMPARE(sound->channelCount, parts.contains("stereo") ? 2 : 1);
        // ADPCM rounds up to whole blocks.
        const auto *samples = reinterpret_cast<const float *>(sound->samples.constData());
        const float peak = *std::max_element(samples, samples + sound->samples.size() / 4);
        const qint64 extra = sound->frameCount() - rate / 10;
        QVERIFY2(extra >= 0 && extra <= 2048 && peak > 0.45f && peak < 0.56f, qPrintable(name));
    }
    // What is no sound is refused.
    const QString path = m_env.path("sound.wav");
    const QByteArray wav = readBytes(folder.filePath("pcm16-stereo-44100.wav"));
    QByteArray nineChannels = wav;
    nineChannels[22] = 9; // the channel count of the format chunk
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray(4096, 'Z'), wav.left(44), nineChannels}) {
        writeBytes(path, bytes);
        QVERIFY(!sound::decodeSound(path));
    }
}

void TestSound::cacheDecodesOnlyWhenTheFileChanges()
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

void TestSound::replacesOrOverlaps()
{
    // Sounds in order, each "o" (overlapping) or "r" (replacing) with its steady level ("r"
    // alone: one that does not decode); "lost": the stream went with the server.
    const QString sixteen = "o.5" + QString(" o.01").repeated(16); // sixteen at most
    for (const auto &[plan, heard] : {std::pair{QString("o.1 o.2"), .3f},
                                      {"r.1 r.2", .2f},
                                      {"o.1 r.2 o.05 r.4", .55f},
                                      {"o.1 r.2 r", .1f},
                                      {sixteen, .16f},
                                      {"o.8 r.7", 1.f},
                                      {"o.1 r.2 lost o.3", .3f}}) {
        sound::SoundMixer mixer;
        mixer.streamOpened({StreamRate, 2, 1200});
        for (const QString &step : plan.split(' ')) {
            if (step == "lost")
                mixer.streamLost();
            else
                mixer.add(step.size() > 1 ? steadySound({step.mid(1).toFloat()}) : nullptr,
                          {"sound.wav", step.startsWith('o'), nullptr});
        }
        float samples[2 * 64];
        QVERIFY(mixer.render(samples, 64));
        QVERIFY2(qFuzzyCompare(samples[0], heard) && qFuzzyCompare(samples[127], heard),
                 qPrintable(plan));
    }
}

void TestSound::foldsChannelsAtTheStreamsRate()
{
    // A tenth of a second of four channels at 8 kHz: a tenth of a second of stereo at the
    // stream's rate, the even channels on the left, the odd ones on the right.
    sound::SoundMixer mixer;
    mixer.streamOpened({StreamRate, 2, 1200});
    mixer.add(steadySound({.2f, .4f, .6f, .8f}, 8000, 800, true), {"sound.wav", true, nullptr});
    std::vector<float> samples(2 * StreamRate / 5);
    mixer.render(samples.data(), StreamRate / 5);
    QCOMPARE(samples[StreamRate / 20 * 2], .4f / 2);
    QCOMPARE(samples[StreamRate / 20 * 2 + 1], .6f / 2);
    const auto lastHeard =
        std::find_if(samples.rbegin(), samples.rend(), [](float s) { return s != 0; });
    QCOMPARE((samples.rend() - lastHeard + 1) / 2, StreamRate / 10);
    QCOMPARE(mixer.voiceCount(), size_t(0));
}

QTEST_GUILESS_MAIN(TestSound)
#include "tst_sound.moc"
