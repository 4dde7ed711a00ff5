#include "platform/password_prompt.h"

#include "platform/password_field.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace platform {

QString askForSecret(const QString &prompt, const QString &title)
{
    QDialog dialog;
    dialog.setWindowTitle(title);
    auto *label = new QLabel(prompt, &dialog);
    label->setWordWrap(true);
    auto *field = new PasswordField(&dialog);
    label->setBuddy(field);
    field->setAccessibleName(prompt.isEmpty() ? QStringLiteral("Password") : prompt);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(field, &PasswordField::returnPressed, &dialog, &QDialog::accept);

    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    field->setFocus();
    return dialog.exec() == QDialog::Accepted ? field->text() : QString();
}

} // namespace platform
