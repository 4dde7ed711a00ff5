// What the mixer hands the device's stream.

#include "sound/sound_mixer.h"

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

class TestSoundMixer : public QObject
{
    Q_OBJECT

private slots:
    void replacesOrOverlaps();
    void foldsChannelsAtTheStreamsRate();
};

void TestSoundMixer::replacesOrOverlaps()
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

void TestSoundMixer::foldsChannelsAtTheStreamsRate()
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

QTEST_GUILESS_MAIN(TestSoundMixer)
#include "tst_sound_mixer.moc"
