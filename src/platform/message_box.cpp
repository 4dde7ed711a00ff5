#include "platform/message_box.h"

#include "platform/modal_show.h"
#include "platform/password_prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

namespace platform {

void showMessage(const QString &text)
{
    services().showMessage(text);
}

QString inputPrompt(const QString &prompt, const QString &title, const QString &defaultText,
                    PromptEcho echo)
{
    return services().inputPrompt(prompt, title, defaultText, echo);
}

void showMessageBox(const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        const KeyboardReturn keyboard;
        QMessageBox::information(nullptr, QGuiApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

QString askForText(const QString &prompt, const QString &title, const QString &defaultText,
                   PromptEcho echo)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return {};
    const KeyboardReturn keyboard;
    if (echo == PromptEcho::Password)
        return askForSecret(prompt, title);
    bool accepted = false;
    const QString text =
        QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

} // namespace platform
