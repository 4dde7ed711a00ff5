// LayoutWindow on a section of 2,000 lines beside one of 200: laying out must stay linear in the
// number of lines (each line's two reads may not parse the skin again, each repaint may not
// repaint the whole window).
#include "bench_report.h"
#include "skin/layout_window.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

void writeSection(const QString &path, int lines)
{
    QByteArray text = "[DEFAULT]\r\nBackGround=10,20,30\r\n";
    for (int n = 1; n <= lines; ++n) {
        // A grid of small elements, as a skin spreads its elements over the window.
        const int left = (n % 60) * 26;
        const int top = (n / 60) * 26 % 1170;
        const QByteArray key = QByteArray::number(n).rightJustified(2, '0');
        if (n % 2)
            text += key + "=tile.bmp,P," + QByteArray::number(left) + "," +
                    QByteArray::number(top) + ",24,24\r\n";
        else
            text += key + "=tile.bmp,B," + QByteArray::number(left) + "," +
                    QByteArray::number(top) + ",24,24,over,click,False,RUN app.exe\r\n";
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

// Wall time of one layout of skinFile on a fresh, shown window.
double layoutMicroseconds(const skin::Theme &theme, const QString &skinName)
{
    SkinnedWindow window;
    window.resize(1600, 1200);
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    LayoutWindow(window, theme, QStringLiteral("DEFAULT"), window.buttonTable(),
                 window.animationTable(), false, 0, skin::ThemeFile(theme.file(skinName)));
    return static_cast<double>(timer.nsecsElapsed()) / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QString theme = home.filePath(QStringLiteral("Themes/Bench"));
    QDir().mkpath(theme);
    QImage tile(24, 24, QImage::Format_RGB32);
    tile.fill(Qt::darkBlue);
    tile.save(theme + QStringLiteral("/tile.bmp"));
    writeSection(theme + QStringLiteral("/Small.skn"), 200);
    writeSection(theme + QStringLiteral("/Large.skn"), 2000);
    const skin::Theme bench(home.path(), QStringLiteral("\\Themes\\Bench\\"), QString());

    // Turn about, so that a change in the machine's load falls on both alike.
    std::vector<double> small;
    std::vector<double> large;
    for (int run = 0; run < 9; ++run) {
        small.push_back(layoutMicroseconds(bench, QStringLiteral("Small.skn")));
        large.push_back(layoutMicroseconds(bench, QStringLiteral("Large.skn")));
    }
    const double smallFigure = bench::median(small);
    const double largeFigure = bench::median(large);
    bench::printRow("layout of a 2,000-line section", largeFigure / 1000.0, "200-line section",
                    smallFigure / 1000.0, "ms", "<= 11x", largeFigure <= 11 * smallFigure);
    return 0;
}
