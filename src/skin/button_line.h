#pragma once

#include <QStringView>

// What a button line of a skin says beyond its place and look.
namespace skin {

// Whether the button asks for the password: field 9 of its line (the text between the 8th and
// the 9th comma, or to the end of the line) as a Boolean, blanks around it ignored: "True" or
// "False" in any letter case, or a number, non-zero meaning true. Any other field 9 is
// protected, since a guard that silently opens is worse than one too many. A line without
// field 9 (fewer than eight commas, an empty line among them) is not protected.
// The protection list, the password gate and the protection toggle all judge by this alone.
[[nodiscard]] bool isProtectedButtonLine(QStringView line);

} // namespace skin
