#pragma once

class QAccessibleInterface;
class QLineEdit;

namespace skin {

// A one-line entry of a skinned window (the program chooser's boxes) as assistive technology
// reads and edits it, with every position in the screen's device pixels: where Qt's own
// interface would give its device-independent pixels, a magnifier on a scaled screen points
// beside the box.
QAccessibleInterface *accessibleLineEdit(QLineEdit *edit);

} // namespace skin
