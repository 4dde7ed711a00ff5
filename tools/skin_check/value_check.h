#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// What the checker says of values that read otherwise than they are written: a number with
// text after it, a share of the window where only pixels are read, a colour component that is
// no number from 0 to 255. Each function gives the messages, none when the value reads as
// written.
namespace check {

// The four geometry fields of a layout line of kind letter (fields 3 to 6, as written): a "%"
// on a line that reads pixels, text after a number, a number beyond what a window can show.
[[nodiscard]] QStringList geometryWarnings(QStringView kind, const QStringList &geometry);

// A colour given as three fields (red, green, blue), named `what` ("the back colour"). A blank
// field is fine where blankKeeps (it keeps the design's component).
[[nodiscard]] QString colourWarning(const QString &what, const QStringList &components,
                                    bool blankKeeps = false);

// A whole-number field named `what` whose text after the number is not read ("1e9" reads 1).
[[nodiscard]] QString numberWarning(const QString &what, QStringView field);

} // namespace check
