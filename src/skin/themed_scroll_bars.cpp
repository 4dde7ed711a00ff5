#include "skin/themed_scroll_bars.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace skin {
namespace {

QColor blend(const QColor &from, const QColor &to, double share)
{
    const auto mix = [share](int a, int b) { return qRound(a + (b - a) * share); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

} // namespace

void themeScrollBars(QAbstractScrollArea &area, const QColor &back, const QColor &text)
{
    // Qt draws a bar with a style sheet by its rules alone, so it looks the same on every
    // platform style; the handle stays visible on any pair of colours that can be told apart.
    const QString sheet =
        QStringLiteral("QScrollBar { background: %1; border: none; margin: 0; }"
                       "QScrollBar:vertical { width: 12px; }"
                       "QScrollBar:horizontal { height: 12px; }"
                       "QScrollBar::handle { background: %2; border-radius: 3px; margin: 2px; }"
                       "QScrollBar::handle:vertical { min-height: 24px; }"
                       "QScrollBar::handle:horizontal { min-width: 24px; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(back.name(), blend(back, text, 0.45).name());
    area.verticalScrollBar()->setStyleSheet(sheet);
    area.horizontalScrollBar()->setStyleSheet(sheet);
}

} // namespace skin
