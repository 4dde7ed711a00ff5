#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace console {

// The button the selection label lblInfo(0) names: "NN HEADER SECTION".
struct ButtonTarget
{
    QString number;  // the key of the button line, "05"
    QString header;  // the skin file's name without extension, upper-cased
    QString section; // the section holding the button line
};

// NN is the text before the first blank and SECTION the text after the last one, HEADER what
// lies between: a skin file's name may hold blanks, a section name never does. std::nullopt
// when the label does not hold all three (an empty label among them).
[[nodiscard]] std::optional<ButtonTarget> buttonTarget(QStringView selection);

} // namespace console
