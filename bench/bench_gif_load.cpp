// Laying out an animation line whose GIF has 300 frames (made here, 96 x 96, each frame
// different) on a fresh window until it holds every frame, beside QMovie decoding every frame of
// the same file to a pixmap. Then the longest stretch of work without an event pass while a GIF of
// 200 frames of 400 x 300 is laid out, beside the work of its whole layout (what events waited when
// every frame was decoded before the first of them ran). Work is the UI thread's CPU time, so that
// time the machine gives to other processes does not count. Offscreen platform.
#include "bench_files.h"
#include "bench_report.h"
#include "gif_writer.h"
#include "skin/animated_picture.h"
#include "skin/layout_window.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMovie>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

// `frames` frames of `size`, each one different.
QByteArray checkeredGif(QSize size, int frames)
{
    GifPlan plan;
    plan.screen = size;
    for (int k = 0; k < frames; ++k) {
        GifFrameSpec frame;
        frame.rect = QRect(QPoint(0, 0), size);
        frame.delayHundredths = 4;
        frame.indexes.resize(size.width() * size.height());
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                frame.indexes[y * size.width() + x] = char((x / 8 + y / 8 + k) % 4);
        }
        plan.frames << frame;
    }
    return writeGif(plan);
}

// Shows window and lets events run until every animation in it holds all its frames: the
// frames after the first are decoded once an animation has been painted.
void showWithAllFrames(SkinnedWindow &window)
{
    window.show();
    const auto waiting = [&window] {
        const auto animations = window.findChildren<AnimatedPicture *>();
        return std::any_of(animations.cbegin(), animations.cend(),
                           [](const AnimatedPicture *a) { return a->waitsForFrames(); });
    };
    while (waiting())
        QCoreApplication::processEvents();
}

struct EventGaps
{
    double longestMs = 0.0;
    double layoutMs = 0.0;
};

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Lays skinFile out on a fresh window while a timer of interval 0 notes every event pass.
EventGaps measureEventGaps(const skin::Theme &theme, const skin::ThemeFile &skinFile)
{
    SkinnedWindow window;
    window.resize(640, 480);
    const qint64 start = threadCpuNs();
    qint64 lastPass = start;
    qint64 longest = 0;
    QTimer pass;
    pass.setInterval(0);
    QObject::connect(&pass, &QTimer::timeout, [&] {
        const qint64 now = threadCpuNs();
        longest = std::max(longest, now - lastPass);
        lastPass = now;
    });
    pass.start();
    LayoutWindow(window, theme, QStringLiteral("DEFAULT"), window.buttonTable(),
                 window.animationTable(), false, 0, skinFile);
    showWithAllFrames(window);
    const qint64 end = threadCpuNs();
    longest = std::max(longest, end - lastPass);
    return {static_cast<double>(longest) / 1e6, static_cast<double>(end - start) / 1e6};
}

template<typename Work>
double medianMilliseconds(int runs, Work &&work)
{
    return bench::medianMicroseconds(runs, std::forward<Work>(work)) / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("Themes/Bench"));
    QDir().mkpath(folder);
    const skin::Theme theme(root.path(), QStringLiteral("\\Themes\\Bench\\"),
                            QStringLiteral("Security"));
    const QString gifPath = folder + QStringLiteral("/big.gif");
    if (!bench::writeFile(gifPath, checkeredGif(QSize(96, 96), 300)) ||
        !bench::writeFile(folder + QStringLiteral("/Security.skn"),
                          "[DEFAULT]\r\n01=big.gif,A,0,0,96,96\r\n") ||
        !bench::writeFile(folder + QStringLiteral("/long.gif"),
                          checkeredGif(QSize(400, 300), 200)) ||
        !bench::writeFile(folder + QStringLiteral("/Long.skn"),
                          "[DEFAULT]\r\n01=long.gif,A,0,0,200,150\r\n"))
        return 1;

    int frames = 0;
    auto layOut = [&] {
        SkinnedWindow window;
        window.resize(200, 200);
        const auto start = std::chrono::steady_clock::now();
        LayoutWindow(window, theme, QStringLiteral("DEFAULT"), window.buttonTable(),
                     window.animationTable(), false, 0, theme.consoleSkin());
        showWithAllFrames(window);
        frames = window.animationTable().frameCount;
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    int decoded = 0;
    auto movie = [&] {
        QMovie player(gifPath);
        player.setCacheMode(QMovie::CacheNone);
        decoded = 0;
        while (player.jumpToNextFrame()) {
            if (player.currentPixmap().isNull())
                break;
            ++decoded;
        }
    };

    layOut();
    movie();
    // Taken in turns, so that a busy moment of the machine falls on both alike.
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int run = 0; run < 11; ++run) {
        ours.push_back(layOut());
        theirs.push_back(medianMilliseconds(1, movie));
    }
    std::nth_element(ours.begin(), ours.begin() + 5, ours.end());
    std::nth_element(theirs.begin(), theirs.begin() + 5, theirs.end());
    const double peer = theirs[5];
    if (frames != 300 || decoded != 300) {
        std::fprintf(stderr, "bench_gif_load: %d frames laid out, %d decoded by QMovie\n", frames,
                     decoded);
        return 1;
    }
    bench::printRow("animation line, 300-frame GIF laid out", ours[5],
                    "QMovie decoding every frame to a pixmap", peer, "ms", "<= 1.5x",
                    ours[5] <= 1.5 * peer);

    std::vector<double> longest;
    std::vector<double> whole;
    for (int run = 0; run < 5; ++run) {
        const EventGaps gaps =
            measureEventGaps(theme, skin::ThemeFile(theme.file(QStringLiteral("Long.skn"))));
        longest.push_back(gaps.longestMs);
        whole.push_back(gaps.layoutMs);
    }
    std::nth_element(longest.begin(), longest.begin() + 2, longest.end());
    std::nth_element(whole.begin(), whole.begin() + 2, whole.end());
    bench::printRow("longest work without events, 200 frames of 400 x 300 laid out", longest[2],
                    "the whole layout of that GIF", whole[2], "ms", "<= 10 ms", longest[2] <= 10.0);
    return 0;
}
