#include "dialogs/frm_startup_max.h"

#include "platform/screen_metrics.h"

#include <QCoreApplication>

frmStartupMax::frmStartupMax(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("KESTA Terminal - Max"));
    setGeometry(platform::usableAreaPixels());
}

core::TwipsRect frmStartupMax::measure(bool show)
{
    QRect area = geometry();
    if (show) {
        showMaximized();
        QCoreApplication::processEvents();
        // Without a window manager nobody maximises the window; it then keeps the usable area
        // it was loaded with, which is what a maximised window would cover.
        area = frameGeometry();
        close();
    }
    return core::twipsFromPixels(area, platform::twipsPerPixel());
}
