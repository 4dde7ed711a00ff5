#include "skin/accessible_elements.h"

#include "skin/image_button.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"

#include <QAccessibleWidget>

namespace skin {

namespace {

class AccessibleImageButton : public QAccessibleWidget
{
public:
    explicit AccessibleImageButton(ImageButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            static_cast<ImageButton *>(widget())->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        if (actionName == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

QAccessibleInterface *accessibleElement(const QString &className, QObject *object)
{
    if (className == QLatin1String(ImageButton::staticMetaObject.className()))
        return new AccessibleImageButton(static_cast<ImageButton *>(object));
    // The skinned windows are windows with their captions: the dialogs dialogs, the console
    // a frame, where Qt would present a borderless widget as a nameless pane.
    if (className == QLatin1String(SkinnedWindow::staticMetaObject.className())) {
        auto *window = static_cast<QWidget *>(object);
        if (!window->isWindow())
            return nullptr;
        return new QAccessibleWidget(
            window, window->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    if (className == QLatin1String(StretchedPicture::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
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

} // namespace skin
