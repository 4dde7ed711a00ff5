#include "console/button_target.h"

namespace console {

std::optional<ButtonTarget> buttonTarget(QStringView selection)
{
    const qsizetype first = selection.indexOf(u' ');
    const qsizetype last = selection.lastIndexOf(u' ');
    if (first < 0 || last == first)
        return std::nullopt;
    ButtonTarget target{selection.first(first).toString(),
                        selection.sliced(first + 1, last - first - 1).toString(),
                        selection.sliced(last + 1).toString()};
    if (target.number.isEmpty() || target.header.isEmpty() || target.section.isEmpty())
        return std::nullopt;
    return target;
}

} // namespace console
