#pragma once

#include <QString>

#include <functional>

class QListWidget;

namespace skin {

// What a line of a list is beyond its text, for assistive technology and the keyboard: the
// words it is read as, and whether it is a heading (read but passed over by the keyboard), a
// plain line, or a line with a checked state.
struct LineFacts
{
    enum class Kind
    {
        Plain,
        Heading,
        Checkable,
    };
    QString name;
    Kind kind = Kind::Plain;
    bool checked = false;

    bool operator==(const LineFacts &) const = default;
};

// Tells the facts of a line from its text.
using LineDescriber = std::function<LineFacts(const QString &text)>;

// Gives list the describer of its lines. Without one, a line is a plain line read as its text
// without blanks at its ends. From then on a line whose text changes tells assistive technology
// what changed of its name and checked state.
void describeLines(QListWidget &list, LineDescriber describer);

// The facts of line row of list (Plain and empty for a row that is not there).
[[nodiscard]] LineFacts lineFacts(const QListWidget &list, int row);

// The line last chosen in list (-1 before any): where the keyboard comes back to, and the line
// told as the selected one. Rows that are no longer there count as none. A line chosen with the
// keyboard is also marked, drawn as the chosen one; one chosen with the mouse is not, so that a
// mouse user sees the list as the theme draws it.
[[nodiscard]] int chosenLine(const QListWidget &list);
[[nodiscard]] bool chosenLineMarked(const QListWidget &list);
void setChosenLine(QListWidget &list, int row, bool marked);

// Tells assistive technology that the keyboard is on the current line of list, which has the
// focus: the list itself taking the focus is told after the line that became current then, and
// would leave the reader on the list.
void tellCurrentLine(QListWidget &list);

} // namespace skin
