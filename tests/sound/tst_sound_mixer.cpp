#include "sound/sound_mixer.h"

#include <QTest>

using sound::DecodedSound;
using sound::SoundMixer;

namespace {

constexpr int StreamRate = 48000;

// A sound of `frames` frames at rate in which every frame holds `frame`, or rises to it from
// silence in a straight line.
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

// What the mixer hands the device's stream.
class TestSoundMixer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_mixer.stopAll();
        m_mixer.streamOpened({StreamRate, 2, 1200});
    }

    void replacesOrOverlaps_data();
    void replacesOrOverlaps();
    void foldsChannelsAtTheStreamsRate();

private:
    SoundMixer m_mixer;
};

void TestSoundMixer::replacesOrOverlaps_data()
{
    // Sounds in order, each "o" (overlapping) or "r" (replacing) with its steady level; "lost":
    // the stream went with the server.
    QTest::addColumn<QString>("plan");
    QTest::addColumn<float>("heard");
    QTest::newRow("overlapping sounds add up") << "o.1 o.2" << .3f;
    QTest::newRow("replacing stops the last replacing one") << "r.1 r.2" << .2f;
    QTest::newRow("replacing leaves overlapping ones") << "o.1 r.2 o.05 r.4" << .55f;
    QTest::newRow("a sound that does not decode still replaces") << "o.1 r.2 r" << .1f;
    QTest::newRow("sixteen at most, the oldest goes")
        << "o.5" + QString(" o.01").repeated(16) << .16f;
    QTest::newRow("clipped at full scale") << "o.8 r.7" << 1.f;
    QTest::newRow("nothing lost plays late") << "o.1 r.2 lost o.3" << .3f;
}

void TestSoundMixer::replacesOrOverlaps()
{
    QFETCH(QString, plan);
    QFETCH(float, heard);
    for (const QString &step : plan.split(' ')) {
        if (step == "lost") {
            m_mixer.streamLost();
            continue;
        }
        const auto sound = step.size() > 1 ? steadySound({step.mid(1).toFloat()}) : nullptr;
        m_mixer.add(sound, {"sound.wav", step.startsWith('o'), nullptr});
    }
    float samples[2 * 64];
    QVERIFY(m_mixer.render(samples, 64));
    QCOMPARE(samples[0], heard);
    QCOMPARE(samples[127], heard);
}

void TestSoundMixer::foldsChannelsAtTheStreamsRate()
{
    // A tenth of a second of four channels at 8 kHz: a tenth of a second of stereo at the
    // stream's rate, the even channels on the left, the odd ones on the right, and its middle in
    // the middle.
    m_mixer.add(steadySound({.2f, .4f, .6f, .8f}, 8000, 800, true), {"sound.wav", true, nullptr});
    std::vector<float> samples(2 * StreamRate / 5);
    m_mixer.render(samples.data(), StreamRate / 5);

    QCOMPARE(samples[StreamRate / 20 * 2], .4f / 2);
    QCOMPARE(samples[StreamRate / 20 * 2 + 1], .6f / 2);
    const auto lastHeard =
        std::find_if(samples.rbegin(), samples.rend(), [](float sample) { return sample != 0; });
    QCOMPARE((samples.rend() - lastHeard + 1) / 2, StreamRate / 10);
    QCOMPARE(m_mixer.voiceCount(), size_t(0));
}

QTEST_GUILESS_MAIN(TestSoundMixer)
#include "tst_sound_mixer.moc"
