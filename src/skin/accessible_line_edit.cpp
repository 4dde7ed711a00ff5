#include "skin/accessible_line_edit.h"

#include "platform/device_geometry.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace skin {
namespace {

class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
    explicit AccessibleLineEdit(QLineEdit *edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {}

    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !edit()->isReadOnly();
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? edit()->displayText() : QAccessibleWidget::text(t);
    }

    QRect rect() const override { return platform::deviceRect(*edit(), edit()->rect()); }

    // QAccessibleTextInterface: the shown text, in device pixels.
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        const bool selected = index == 0 && edit()->hasSelectedText();
        *startOffset = selected ? edit()->selectionStart() : 0;
        *endOffset = selected ? edit()->selectionEnd() : 0;
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        edit()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return edit()->displayText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(edit()->displayText().size()); }
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(platform::localPoint(*edit(), point));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override
    {
        replaceText(startOffset, endOffset, {});
    }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        if (!edit()->isReadOnly())
            edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
    }
};

QRect AccessibleLineEdit::characterRect(int offset) const
{
    const QString shown = edit()->displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    // The caret is where the entry has laid out and scrolled its text; a character lies as far
    // from it as the text between them is wide.
    const QFontMetrics metrics = edit()->fontMetrics();
    const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int caretAt = edit()->cursorPosition();
    const int left = caret.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                     metrics.horizontalAdvance(shown.left(caretAt));
    const QRect local(left, caret.top(), metrics.horizontalAdvance(shown.at(offset)),
                      caret.height());
    return platform::deviceRect(*edit(), local);
}

} // namespace

QAccessibleInterface *accessibleLineEdit(QLineEdit *edit)
{
    return new AccessibleLineEdit(edit);
}

} // namespace skin
