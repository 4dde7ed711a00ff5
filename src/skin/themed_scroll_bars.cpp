#include "skin/themed_scroll_bars.h"

#include "skin/line_look.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

namespace skin {
namespace {

constexpr int barWidth = 12;
constexpr int handleMinimum = 24;
constexpr int handleMargin = 2;

// Scroll bars drawn from their own palette alone: the groove in Window, the handle in Dark, no
// arrow buttons. One style serves every themed bar, where a style sheet per bar cost a sheet
// parse and a polish of each list at start.
class ThemedScrollBarStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return barWidth;
        if (metric == PM_ScrollBarSliderMin)
            return handleMinimum;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (control != CC_ScrollBar || !bar)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect handle = handleRect(*bar);
        const bool horizontal = bar->orientation == Qt::Horizontal;
        const QRect &all = bar->rect;
        switch (part) {
        case SC_ScrollBarGroove:
            return all;
        case SC_ScrollBarSlider:
            return handle;
        case SC_ScrollBarSubPage:
            return horizontal
                       ? QRect(all.left(), all.top(), handle.left() - all.left(), all.height())
                       : QRect(all.left(), all.top(), all.width(), handle.top() - all.top());
        case SC_ScrollBarAddPage:
            return horizontal ? QRect(handle.right() + 1, all.top(), all.right() - handle.right(),
                                      all.height())
                              : QRect(all.left(), handle.bottom() + 1, all.width(),
                                      all.bottom() - handle.bottom());
        default:
            return {};
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        painter->fillRect(bar->rect, bar->palette.color(QPalette::Window));
        if (bar->maximum == bar->minimum)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(bar->palette.color(QPalette::Dark));
        painter->drawRoundedRect(
            handleRect(*bar).adjusted(handleMargin, handleMargin, -handleMargin, -handleMargin), 3,
            3);
        painter->restore();
    }

private:
    static QRect handleRect(const QStyleOptionSlider &bar)
    {
        const bool horizontal = bar.orientation == Qt::Horizontal;
        const int length = horizontal ? bar.rect.width() : bar.rect.height();
        const qint64 range = qint64(bar.maximum) - bar.minimum;
        const qint64 shown = std::max(bar.pageStep, 1);
        const int handle = std::clamp(int(length * shown / (range + shown)),
                                      std::min(handleMinimum, length), length);
        const int offset = sliderPositionFromValue(bar.minimum, bar.maximum, bar.sliderPosition,
                                                   length - handle, bar.upsideDown);
        return horizontal
                   ? QRect(bar.rect.left() + offset, bar.rect.top(), handle, bar.rect.height())
                   : QRect(bar.rect.left(), bar.rect.top() + offset, bar.rect.width(), handle);
    }
};

QStyle *themedScrollBarStyle()
{
    // Owned by the application, so it outlives every bar that uses it.
    static QPointer<ThemedScrollBarStyle> style;
    if (!style) {
        style = new ThemedScrollBarStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

void themeScrollBars(QAbstractScrollArea &area, const QColor &back, const QColor &text)
{
    // The handle stays visible on any pair of colours that can be told apart.
    for (QScrollBar *bar : {area.verticalScrollBar(), area.horizontalScrollBar()}) {
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, back);
        palette.setColor(QPalette::Dark, blend(back, text, 0.45));
        bar->setPalette(palette);
        bar->setStyle(themedScrollBarStyle());
    }
}

} // namespace skin
