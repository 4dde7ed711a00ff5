#include "skin/accessible_elements.h"

#include "platform/device_geometry.h"
#include "skin/accessible_line_edit.h"
#include "skin/accessible_list.h"
#include "skin/announcer.h"
#include "skin/image_button.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace skin {
namespace {

const char offTheBus[] = "kestaOffTheBus";

// An interface that is never valid: Qt sends no event of its object, and no list holds it.
class NotOnTheBus : public QAccessibleObject
{
public:
    using QAccessibleObject::QAccessibleObject;

    bool isValid() const override { return false; }
    QAccessibleInterface *parent() const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::NoRole; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = true;
        return state;
    }
};

// A widget of a skinned window, where it is drawn.
class AccessibleElement : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    QRect rect() const override { return platform::deviceRect(*widget(), widget()->rect()); }
};

class AccessibleImageButton : public AccessibleElement
{
public:
    explicit AccessibleImageButton(ImageButton *button)
        : AccessibleElement(button, QAccessible::Button)
    {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        // The screen reader waits for the answer: the click, which may open a dialog that
        // waits for the person, comes after it.
        auto *button = static_cast<ImageButton *>(widget());
        QMetaObject::invokeMethod(
            button, [button] { button->click(); }, Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        if (actionName == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

// A picture or an animation: an image when the theme names it, else decoration, which is not
// on the bus (a name given later brings it there).
class AccessiblePicture : public AccessibleElement
{
public:
    explicit AccessiblePicture(StretchedPicture *picture)
        : AccessibleElement(picture, QAccessible::Graphic)
    {}

    bool isValid() const override
    {
        return AccessibleElement::isValid() && !widget()->accessibleName().isEmpty();
    }
};

class AccessibleLabel : public AccessibleElement
{
public:
    explicit AccessibleLabel(QLabel *label)
        : AccessibleElement(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text t) const override
    {
        const QString own = AccessibleElement::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return own;
    }
};

// A drive box: named by its name, where Qt on this system would name it by its current text,
// and valued by that text; its drop-down list is Qt's own.
class AccessibleComboBox : public AccessibleElement
{
public:
    explicit AccessibleComboBox(QComboBox *box)
        : AccessibleElement(box, QAccessible::ComboBox)
    {}

    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? box()->currentText() : AccessibleElement::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    // Opening the list answers at once, as a press does.
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction())
            QMetaObject::invokeMethod(box(), &QComboBox::showPopup, Qt::QueuedConnection);
    }
};

// A window, or the surface that holds its elements: its children are the widgets it shows that
// are on the bus, and a window's announcer last.
class AccessibleHolder : public AccessibleElement
{
public:
    using AccessibleElement::AccessibleElement;

    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface *child(int index) const override { return shownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(shownChildren().indexOf(child));
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        // Elements laid out later lie on top.
        const QList<QAccessibleInterface *> children = shownChildren();
        for (qsizetype i = children.size() - 1; i >= 0; --i) {
            if (children.at(i)->rect().contains(x, y))
                return children.at(i);
        }
        return nullptr;
    }

private:
    QList<QAccessibleInterface *> shownChildren() const
    {
        QList<QAccessibleInterface *> shown;
        for (QObject *child : widget()->children()) {
            const auto *element = qobject_cast<QWidget *>(child);
            const bool onBus = element ? !element->isWindow() && !element->isHidden()
                                       : qobject_cast<Announcer *>(child) != nullptr;
            QAccessibleInterface *iface =
                onBus ? QAccessible::queryAccessibleInterface(child) : nullptr;
            if (iface && iface->isValid())
                shown.append(iface);
        }
        return shown;
    }
};

class AccessibleAnnouncer : public QAccessibleObject
{
public:
    explicit AccessibleAnnouncer(Announcer *announcer)
        : QAccessibleObject(announcer)
    {}

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Announcer *>(object())->words() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

bool isElementSurface(const QWidget &widget)
{
    const auto *window = qobject_cast<const SkinnedWindow *>(widget.parentWidget());
    return window && window->elementSurface() == &widget;
}

QAccessibleInterface *accessibleElement(const QString &, QObject *object)
{
    if (object->property(offTheBus).toBool())
        return new NotOnTheBus(object);
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new AccessibleAnnouncer(announcer);
    if (auto *button = qobject_cast<ImageButton *>(object))
        return new AccessibleImageButton(button);
    if (auto *picture = qobject_cast<StretchedPicture *>(object))
        return new AccessiblePicture(picture);
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !qobject_cast<const SkinnedWindow *>(widget->window()))
        return nullptr;
    // The skinned windows are windows with their captions: the dialogs dialogs, the console
    // a frame, where Qt would present a borderless widget as a nameless pane.
    if (widget->isWindow())
        return new AccessibleHolder(
            widget, widget->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window);
    if (isElementSurface(*widget))
        return new AccessibleHolder(widget, QAccessible::Client);
    if (auto *list = qobject_cast<QListWidget *>(widget))
        return accessibleList(list);
    if (auto *label = qobject_cast<QLabel *>(widget))
        return new AccessibleLabel(label);
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return new AccessibleComboBox(box);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return accessibleLineEdit(edit);
    return nullptr;
}

} // namespace

void installAccessibleElements()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleElement);
        return true;
    }();
    Q_UNUSED(installed);
}

void keepOffTheBus(QObject &object)
{
    object.setProperty(offTheBus, true);
}

} // namespace skin
