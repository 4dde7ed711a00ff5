#include "skin/hover_tracking.h"

#include "core/program_state.h"
#include "platform/services.h"
#include "skin/image_button.h"
#include "skin/picture_file.h"
#include "skin/skinned_window.h"

#include <QWidget>

namespace skin {

namespace {

constexpr QRgb normalBackColor = 0xFFFFFF;

bool isOver(const ImageButton &button)
{
    return (button.backColor().rgb() & 0xFFFFFF) == 0;
}

void enter(const SkinnedWindow &window, ImageButton &button, const ButtonEntry &entry)
{
    window.playSound(entry.overSound);
    button.setBackColor(QColor(Qt::black));
    // The state changes even when the over picture is missing, so that the next pass does not
    // try the file again; the normal picture then stays.
    button.setRestingPicture(button.picture());
    const LoadedPicture over = loadPicture(overPicturePath(entry.picture));
    if (!over.pixmap.isNull())
        button.setPicture(over.pixmap);
}

void leave(ImageButton &button, const ButtonEntry &entry)
{
    button.setBackColor(QColor(normalBackColor));
    const LoadedPicture normal = loadPicture(entry.picture);
    button.setPicture(normal.pixmap.isNull() ? button.restingPicture() : normal.pixmap);
    button.setRestingPicture({});
}

} // namespace

QString overPicturePath(const QString &picture)
{
    if (picture.size() < 4)
        return picture;
    const qsizetype stem = picture.size() - 4;
    return picture.left(stem) + u'a' + picture.mid(stem);
}

void ReadPointer(const QWidget &window)
{
    const platform::Services &system = platform::services();
    const QPoint screen = system.pointerPosition();
    // The skinned windows have no frame, so the window's position is also its inside's. Both
    // are in pixels already: going through twips factors rounded to whole numbers would be off
    // by more pixels the further right the window stands, wherever 1440 / DPI is not whole.
    const QPoint inside = screen - window.pos();
    ProgramState &state = programState();
    state.PointerX = inside.x();
    state.PointerY = inside.y();
    state.PointerWindow = system.widgetAt(screen);
}

void hoverPass(SkinnedWindow &window)
{
    // The pointer is over no button of a window that is not shown.
    if (window.isQuitting() || !window.isVisible())
        return;
    ReadPointer(window);
    const ProgramState &state = programState();
    const double x = state.PointerX;
    const double y = state.PointerY;
    const QWidget *under = state.PointerWindow;

    // Read once: a layout still running may add buttons during the sound or picture loads.
    const ButtonTable &table = window.buttonTable();
    const qint32 count = qMin<qint32>(table.count, static_cast<qint32>(table.entries.size()));
    for (int i = 1; i <= count; ++i) {
        ImageButton *button = window.imgBut(i);
        if (!button)
            continue;
        const QRect rect = button->geometry();
        const double left = rect.x();
        const double top = rect.y();
        const double right = left + rect.width();
        const double bottom = top + rect.height();
        const bool inside = left < x && right > x && top < y && bottom > y && under == button;
        if (inside) {
            if (!isOver(*button))
                enter(window, *button, table.at(i));
        } else if (isOver(*button) && (x < left || x > right || y < top || y > bottom)) {
            leave(*button, table.at(i));
        }
    }
}

} // namespace skin
