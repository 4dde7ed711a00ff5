#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace skin {

// The layout line of an image button ("B"), as the layout, the lists, the password gate and the
// editors read and rewrite it. Fields are separated by commas and counted from 1: fields 1 to 6
// are the layout's (name, kind, left, top, width, height), 7 the over sound, 8 the click sound,
// 9 the protected flag and 10 the command, which runs to the end of the line with its own
// commas. There is no quoting.
class ButtonLine
{
public:
    enum class Field
    {
        OverSound = 7,
        ClickSound = 8,
        Flag = 9,
        Command = 10,
    };

    ButtonLine() = default;
    explicit ButtonLine(const QString &text);

    const QString &text() const { return m_text; }
    // Fields 1 to 10 as written. A line with fewer than nine commas has fewer fields, and the
    // last one present runs to the end of the line.
    const QStringList &fields() const { return m_fields; }
    // The field when the line reaches it.
    [[nodiscard]] std::optional<QString> field(Field field) const;
    // Fields 7, 8 and 10; empty when the line does not reach them.
    QString overSound() const { return field(Field::OverSound).value_or(QString()); }
    QString clickSound() const { return field(Field::ClickSound).value_or(QString()); }
    QString command() const { return field(Field::Command).value_or(QString()); }
    // True when the line holds all ten fields: only then is every field where the shell reads
    // it.
    bool isComplete() const { return m_fields.size() == fieldCount; }

    // Whether the button asks for the password: field 9 as a Boolean, blanks around it ignored:
    // "True" or "False" in any letter case, or a number, non-zero meaning true. Any other field
    // 9 is protected, since a guard that silently opens is worse than one too many. A line
    // without field 9 (fewer than eight commas, an empty line among them) is not protected.
    // The protection list, the password gate and the protection toggle all judge by this alone.
    [[nodiscard]] bool isProtected() const;

    // The line with `field` replaced by value, every other field and comma as it was.
    // std::nullopt when the line is not complete: writing would shift the fields after it.
    [[nodiscard]] std::optional<ButtonLine> with(Field field, const QString &value) const;

private:
    static constexpr int fieldCount = 10;

    QString m_text;
    QStringList m_fields;
};

// ButtonLine(line).isProtected().
[[nodiscard]] bool isProtectedButtonLine(QStringView line);

} // namespace skin
