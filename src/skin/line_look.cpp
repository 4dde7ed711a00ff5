#include "skin/line_look.h"

#include "skin/list_lines.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace skin {
namespace {

double luminance(const QColor &colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

constexpr double focusContrast = 3.0;

} // namespace

QColor blend(const QColor &from, const QColor &to, double share)
{
    const auto mix = [share](int a, int b) { return qRound(a + (b - a) * share); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor focusColour(const QColor &back, const QColor &text)
{
    // Either black or white stands out of any colour by more than 4.5:1, so one of the two
    // ways always gets there.
    for (int step = 0; step <= 20; ++step) {
        for (const QColor &end : {QColor(Qt::black), QColor(Qt::white)}) {
            const QColor moved = blend(text, end, step / 20.0);
            if (contrastRatio(moved, back) >= focusContrast)
                return moved;
        }
    }
    return contrastRatio(Qt::black, back) > contrastRatio(Qt::white, back) ? QColor(Qt::black)
                                                                           : QColor(Qt::white);
}

QColor chosenColour(const QColor &back, const QColor &text)
{
    // Toward the focus colour, which differs from back even where the text does not.
    return blend(back, focusColour(back, text), 0.25);
}

void LineLook::paint(QPainter *painter, const QStyleOptionViewItem &option,
                     const QModelIndex &index) const
{
    const auto *list = qobject_cast<const QListWidget *>(option.widget);
    QStyleOptionViewItem line = option;
    initStyleOption(&line, index);
    line.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    line.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QColor back = option.palette.color(QPalette::Base);
    const QColor text = option.palette.color(QPalette::Text);
    if (list && chosenLineMarked(*list) && chosenLine(*list) == index.row())
        line.backgroundBrush = chosenColour(back, text);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &line, painter, widget);

    if (list && list->hasFocus() && list->currentRow() == index.row()) {
        painter->save();
        painter->setPen(QPen(focusColour(back, text), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

} // namespace skin
