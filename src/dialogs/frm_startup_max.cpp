#include "dialogs/frm_startup_max.h"

#include "platform/screen_metrics.h"

frmStartupMax::frmStartupMax(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("KESTA Terminal - Max"));
    setGeometry(platform::usableAreaPixels());
}

core::TwipsRect frmStartupMax::measure() const
{
    return core::twipsFromPixels(geometry(), platform::twipsPerPixel());
}
