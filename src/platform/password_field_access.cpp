#include "platform/password_field_access.h"

#include "platform/device_geometry.h"
#include "platform/password_field.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>

namespace platform {
namespace {

class AccessiblePasswordField : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit AccessiblePasswordField(PasswordField *field)
        : QAccessibleWidget(field, QAccessible::EditableText)
    {}

    PasswordField *field() const { return static_cast<PasswordField *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.passwordEdit = field()->isMasked();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return field()->displayText();
        return QAccessibleWidget::text(t);
    }

    QRect rect() const override { return deviceRect(*field(), field()->rect()); }

    // QAccessibleTextInterface: the shown text, never selected.
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return field()->displayText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(field()->displayText().size()); }
    QRect characterRect(int offset) const override
    {
        return deviceRect(*field(), field()->characterRect(offset));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return field()->positionAt(localPoint(*field(), point));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }
};

QAccessibleInterface *accessiblePasswordField(const QString &, QObject *object)
{
    if (auto *field = qobject_cast<PasswordField *>(object))
        return new AccessiblePasswordField(field);
    return nullptr;
}

} // namespace

void installPasswordFieldAccess()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessiblePasswordField);
        return true;
    }();
    Q_UNUSED(installed);
}

bool typesIntoPasswordField(const QEvent &event)
{
    if ((event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) ||
        !event.spontaneous())
        return false;
    const QString text = static_cast<const QKeyEvent &>(event).text();
    if (text.isEmpty() || !text.front().isPrint())
        return false;
    const auto *field = qobject_cast<const PasswordField *>(QApplication::focusWidget());
    return field && field->isMasked();
}

} // namespace platform
