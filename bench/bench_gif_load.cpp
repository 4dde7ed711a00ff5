// Laying out an animation line whose GIF has 300 frames (made here, 96 x 96, each frame
// different) on a fresh window, beside QMovie decoding every frame of the same file to a
// pixmap. Offscreen platform.
#include "bench_report.h"
#include "core/program_state.h"
#include "gif_writer.h"
#include "skin/layout_window.h"
#include "skin/skinned_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMovie>
#include <QTemporaryDir>

#include <chrono>

namespace {

QByteArray threeHundredFrames()
{
    GifPlan plan;
    plan.screen = QSize(96, 96);
    for (int k = 0; k < 300; ++k) {
        GifFrameSpec frame;
        frame.rect = QRect(0, 0, 96, 96);
        frame.delayHundredths = 4;
        frame.indexes.resize(96 * 96);
        for (int y = 0; y < 96; ++y) {
            for (int x = 0; x < 96; ++x)
                frame.indexes[y * 96 + x] = char((x / 8 + y / 8 + k) % 4);
        }
        plan.frames << frame;
    }
    return writeGif(plan);
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
    ProgramState &state = programState();
    state.ProgramDir = root.path();
    state.ThemeDir = QStringLiteral("\\Themes\\Bench\\");
    const QString gifPath = folder + QStringLiteral("/big.gif");
    QFile gif(gifPath);
    if (!gif.open(QIODevice::WriteOnly) || gif.write(threeHundredFrames()) < 0)
        return 1;
    gif.close();
    QFile skin(folder + QStringLiteral("/Security.skn"));
    if (!skin.open(QIODevice::WriteOnly) ||
        skin.write("[DEFAULT]\r\n01=big.gif,A,0,0,96,96\r\n") < 0)
        return 1;
    skin.close();
    const QString skinFile = ThemePath() + QStringLiteral("Security.skn");

    int frames = 0;
    auto layOut = [&] {
        SkinnedWindow window;
        window.resize(200, 200);
        const auto start = std::chrono::steady_clock::now();
        LayoutWindow(window, QStringLiteral("DEFAULT"), window.buttonTable(),
                     window.animationTable(), false, 0, skinFile);
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
    return 0;
}
