#include "skin/button_line.h"

#include "skin/value_forms.h"

namespace skin {

ButtonLine::ButtonLine(const QString &text)
    : m_text(text)
    , m_fields(fieldList(text, fieldCount))
{}

std::optional<QString> ButtonLine::field(Field field) const
{
    const int index = static_cast<int>(field) - 1;
    if (index >= m_fields.size())
        return std::nullopt;
    return m_fields.at(index);
}

bool ButtonLine::isProtected() const
{
    const std::optional<QString> flag = field(Field::Flag);
    return flag && toBoolean(*flag).value_or(true);
}

std::optional<ButtonLine> ButtonLine::with(Field field, const QString &value) const
{
    if (!isComplete())
        return std::nullopt;
    // The last field keeps its commas, so joining the fields again gives back the line.
    QStringList fields = m_fields;
    fields[static_cast<int>(field) - 1] = value;
    return ButtonLine(fields.join(u','));
}

bool isProtectedButtonLine(QStringView line)
{
    return ButtonLine(line.toString()).isProtected();
}

} // namespace skin
