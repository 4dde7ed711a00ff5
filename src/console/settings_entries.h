#pragma once

#include <QString>

#include <optional>

// The text of the console's settings lists: what an index entry of a skin names, the parts of a
// button line the lists show, and the fixed-width lines they are written as. Everything is pure.
namespace console {

// A protection or switch line opens with two blanks and a prefix of ten characters in all;
// every other line of the protection list is a skin file's header.
[[nodiscard]] bool isEntryLine(QStringView line);
// The text after the ten-character prefix.
[[nodiscard]] QString lineText(QStringView line);
// "True", "False", "ON" or "OFF": the prefix without its blanks.
[[nodiscard]] QString lineState(QStringView line);

[[nodiscard]] QString protectionLine(bool isProtected, const QString &text);
[[nodiscard]] QString switchLine(bool isOn, const QString &entry);

// A key of an index section: n written with at least two digits ("01", "99", "100").
[[nodiscard]] QString indexKey(int n);

// One "SECURITY" entry: "NN" + a separator that is not read + the entry text, whose first word
// names the section holding the button line.
struct SecurityEntry
{
    QString number;  // the first two characters, as written
    QString text;    // from the fourth character on
    QString section; // text up to its first blank
};
[[nodiscard]] SecurityEntry securityEntry(const QString &entry);
// The section an entry text names: its first word.
[[nodiscard]] QString entrySection(QStringView text);

// The key of "DEFAULT" in terminal.skn that a "GLOBAL" entry (or a switch line's text) names:
// its first word with one trailing ":" removed. Empty when the entry starts with a blank.
[[nodiscard]] QString switchKey(QStringView entry);

} // namespace console
