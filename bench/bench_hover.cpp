// One hover pass of a window with 200 image buttons while the pointer rests where it changes
// nothing, beside a pass's own first step alone: reading the pointer (position, widget under
// it) for the same window. Offscreen platform; the pointer is the platform's.
#include "bench_report.h"
#include "core/program_state.h"
#include "skin/hover_tracking.h"
#include "skin/image_button.h"
#include "skin/skinned_window.h"

#include <QApplication>
#include <QCursor>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    SkinnedWindow window;
    window.resize(1280, 800);
    window.move(0, 0);
    ButtonTable &table = window.buttonTable();
    for (int i = 1; i <= 200; ++i) {
        ImageButton *button = window.addImageButton(i);
        button->setGeometry(10 + (i - 1) % 20 * 60, 10 + (i - 1) / 20 * 60, 50, 50);
        button->show();
        table.add({QStringLiteral("\\Themes\\Bench\\b%1.bmp").arg(i), QStringLiteral("QUIT"),
                   QString(), QStringLiteral("over"), i});
    }
    window.show();
    QCoreApplication::processEvents();
    // On the window, between the buttons: no button changes.
    QCursor::setPos(window.mapToGlobal(QPoint(1275, 795)));
    QCoreApplication::processEvents();

    for (int warm = 0; warm < 200; ++warm)
        window.UpdateHover();
    const double pass = bench::medianMicroseconds(5001, [&] { window.UpdateHover(); });
    const double sample = bench::medianMicroseconds(5001, [&] { skin::ReadPointer(window); });
    if (programState().PointerWindow != &window && programState().PointerWindow != nullptr &&
        !window.isAncestorOf(programState().PointerWindow)) {
        std::fprintf(stderr, "bench_hover: the pointer is not over the window\n");
        return 1;
    }
    bench::printRow("hover pass, 200 buttons, nothing changes", pass,
                    "pointer sample alone (position, widget under it)", sample, "us", "<= 20 us",
                    pass <= 20.0);
    return 0;
}
