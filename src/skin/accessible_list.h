#pragma once

class QAccessibleInterface;
class QListWidget;

namespace skin {

// A list of a skinned window as assistive technology reads it: a list whose lines are read as
// their facts tell (skin::lineFacts): a heading, a check box with its checked state, or a list
// item, named by the facts' name; the chosen line as the selected one, every position in the
// screen's device pixels.
QAccessibleInterface *accessibleList(QListWidget *list);

} // namespace skin
