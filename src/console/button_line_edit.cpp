#include "console/button_line_edit.h"

#include "skin/value_forms.h"

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

std::optional<QString> withButtonField(QStringView line, ButtonField field, const QString &value)
{
    constexpr int fieldCount = static_cast<int>(ButtonField::Command);
    // The last field keeps its commas, so joining the fields again gives back the line.
    QStringList fields = skin::fieldList(line, fieldCount);
    if (fields.size() < fieldCount)
        return std::nullopt;
    fields[static_cast<int>(field) - 1] = value;
    return fields.join(u',');
}

} // namespace console
