#include "skin/button_line.h"

#include "skin/value_forms.h"

namespace skin {

bool isProtectedButtonLine(QStringView line)
{
    constexpr int flagField = 9;
    // Ten fields at most: the command after the flag keeps its own commas.
    const QStringList fields = fieldList(line, flagField + 1);
    if (fields.size() < flagField)
        return false;
    return toBoolean(fields.at(flagField - 1)).value_or(true);
}

} // namespace skin
