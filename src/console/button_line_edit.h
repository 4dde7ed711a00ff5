#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The text surgery of the setting editors: which button the selection label names, and a
// button line with one of its fields replaced. Both are pure.
namespace console {

// The fields of a button line an editor may change.
enum class ButtonField
{
    OverSound = 7,
    ClickSound = 8,
    Flag = 9,
    Command = 10, // to the end of the line, commas included
};

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

// line with the field replaced by value, every other field and comma kept as it was.
// std::nullopt when line has fewer than ten fields: there the field is not where the shell
// looks for it, and writing would shift the fields after it.
[[nodiscard]] std::optional<QString> withButtonField(QStringView line, ButtonField field,
                                                     const QString &value);

} // namespace console
