#include "gif_writer.h"
#include "skin/gif_animation.h"
#include "skin/gif_structure.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using skin::GifStructure;

class TestGifAnimation : public QObject
{
    Q_OBJECT

private slots:
    void walksBlocks_data();
    void walksBlocks();
    void composesFramesAsADecoderShowsThem();
    void endsAtTheFirstFrameThatDoesNotDecode();
    void corpusFilesMatchTheirManifest_data();
    void corpusFilesMatchTheirManifest();
};

namespace {

QByteArray threeFrames(std::optional<int> a, std::optional<int> b, std::optional<int> c)
{
    GifPlan plan;
    plan.frames = {solidFrame({0, 0, 4, 4}, 1, a), solidFrame({1, 1, 2, 2}, 2, b),
                   solidFrame({0, 0, 4, 4}, 3, c)};
    return writeGif(plan);
}

QList<int> delaysOf(const GifStructure &structure)
{
    QList<int> delays;
    for (const skin::GifImage &image : structure.images)
        delays << image.delayMs;
    return delays;
}

} // namespace

void TestGifAnimation::walksBlocks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<bool>("complete");

    // The first control block follows the colour table directly, with no zero byte before it.
    QTest::newRow("a control block per image")
        << threeFrames(10, 20, 30) << QList<int>{100, 200, 300} << true;
    QTest::newRow("delays above the largest interval are clamped")
        << threeFrames(6553, 6554, 65535) << QList<int>{65530, 65535, 65535} << true;
    GifPlan lookalike;
    lookalike.frames = {solidFrame({0, 0, 4, 4}, 1, 10), solidFrame({0, 0, 4, 4}, 2, 10)};
    lookalike.frames[1].before = commentExtension(QByteArray("\x00\x21\xF9\x04\x00\x10\x27", 7));
    QTest::newRow("00 21 F9 inside a comment starts no frame")
        << writeGif(lookalike) << QList<int>{100, 100} << true;

    GifPlan plainText;
    plainText.frames = {solidFrame({0, 0, 4, 4}, 1, 10), solidFrame({0, 0, 4, 4}, 2, {})};
    plainText.frames[1].before = QByteArray("\x21\xF9\x04\x00\x64\x00\x00\x00"
                                            "\x21\x01\x0C"
                                            "abcdefghijkl"
                                            "\x02hi\x00",
                                            27);
    QTest::newRow("a plain-text block takes the control block before it")
        << writeGif(plainText) << QList<int>{100, 0} << true;

    const QByteArray whole = threeFrames(10, 20, 30);
    QTest::newRow("cut inside the third image")
        << whole.left(whole.size() - 12) << QList<int>{100, 200} << false;
    GifPlan stray;
    stray.frames = {solidFrame({0, 0, 4, 4}, 1, 10)};
    stray.beforeTrailer = QByteArray("\x00", 1);
    QTest::newRow("a byte that starts no block ends the walk")
        << writeGif(stray) << QList<int>{100} << false;
    QTest::newRow("not a GIF") << QByteArray("BM6\x00\x00\x00", 6) << QList<int>{} << false;
}

void TestGifAnimation::walksBlocks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, delays);
    QFETCH(bool, complete);

    const GifStructure structure = skin::walkGif(bytes);
    QCOMPARE(delaysOf(structure), delays);
    QCOMPARE(structure.complete, complete);
}

void TestGifAnimation::composesFramesAsADecoderShowsThem()
{
    // A small patch, then a row whose odd pixels are transparent: each frame is the whole
    // screen with what came before still showing around and through it.
    GifPlan plan;
    plan.frames = {solidFrame({0, 0, 4, 4}, 1, 10), solidFrame({1, 1, 2, 2}, 2, 20),
                   solidFrame({0, 0, 4, 1}, 3, 30)};
    plan.frames[2].indexes = QByteArray("\x03\x00\x03\x00", 4);
    plan.frames[2].transparentIndex = 0;

    const skin::GifAnimation gif = skin::decodeGifAnimation(writeGif(plan));
    QVERIFY2(gif.error.isEmpty(), qPrintable(gif.error));
    QCOMPARE(gif.frames.size(), 3);
    QList<int> delays;
    for (const skin::GifFrame &frame : gif.frames) {
        QCOMPARE(frame.image.size(), QSize(4, 4));
        delays << frame.delayMs;
    }
    QCOMPARE(delays, (QList<int>{100, 200, 300}));
    const QImage &second = gif.frames[1].image;
    QCOMPARE(second.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(second.pixel(1, 1), qRgb(0, 255, 0));
    QCOMPARE(second.pixel(2, 2), qRgb(0, 255, 0));
    QCOMPARE(second.pixel(3, 3), qRgb(255, 0, 0));
    const QImage &third = gif.frames[2].image;
    QCOMPARE(third.pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(third.pixel(1, 0), qRgb(255, 0, 0));
    QCOMPARE(third.pixel(1, 1), qRgb(0, 255, 0));
}

void TestGifAnimation::endsAtTheFirstFrameThatDoesNotDecode()
{
    // The second image's block structure is sound, but its first code names a table entry
    // that does not exist.
    GifPlan plan;
    plan.frames = {solidFrame({0, 0, 4, 4}, 1, 10)};
    plan.beforeTrailer = QByteArray("\x21\xF9\x04\x00\x14\x00\x00\x00"
                                    "\x2C\x00\x00\x00\x00\x04\x00\x04\x00\x00"
                                    "\x02\x02\xFF\xFF\x00",
                                    23);
    const QByteArray bytes = writeGif(plan);
    QCOMPARE(skin::walkGif(bytes).images.size(), 2);

    const skin::GifAnimation gif = skin::decodeGifAnimation(bytes);
    QCOMPARE(gif.frames.size(), 1);
    QVERIFY(!gif.error.isEmpty());
}

void TestGifAnimation::corpusFilesMatchTheirManifest_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QList<int>>("delays");

    const QString folder =
        qEnvironmentVariable("KESTA_SOURCE_DIR") + QStringLiteral("/../shared/corpus/images");
    QFile manifest(folder + QStringLiteral("/manifest.json"));
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("the image corpus is not beside the repository");
    const QJsonArray files = QJsonDocument::fromJson(manifest.readAll())["files"].toArray();
    for (const QJsonValue &value : files) {
        const QJsonObject file = value.toObject();
        const QString path = file["path"].toString();
        if (!path.startsWith(QStringLiteral("gif/")))
            continue;
        // Frames: what a GIF decoder reads. Delays: each image's own control block, as the
        // other decoder reports them (no value where an image has none).
        const int frames = file["decoder_frames_qt"].toInt();
        const QJsonArray reported = file["decoder_delays_ms_pillow"].toArray();
        QList<int> delays;
        for (int i = 0; i < frames; ++i)
            delays << qMin(reported.at(i).toInt(0), skin::maxFrameDelay);
        QTest::newRow(qPrintable(path)) << folder + u'/' + path << frames << delays;
    }
}

void TestGifAnimation::corpusFilesMatchTheirManifest()
{
    QFETCH(QString, path);
    QFETCH(int, frames);
    QFETCH(QList<int>, delays);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const skin::GifAnimation gif = skin::decodeGifAnimation(file.readAll());
    QList<int> decoded;
    for (const skin::GifFrame &frame : gif.frames) {
        QVERIFY(!frame.image.isNull());
        decoded << frame.delayMs;
    }
    QCOMPARE(gif.frames.size(), frames);
    QCOMPARE(decoded, delays);
}

QTEST_GUILESS_MAIN(TestGifAnimation)
#include "tst_gif_animation.moc"
