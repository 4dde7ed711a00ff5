#include "platform/message_box.h"

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
    const bool password = echo == PromptEcho::Password;
    // A password is neither learned nor offered back by an input method.
    const Qt::InputMethodHints hints =
        password ? Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText : Qt::ImhNone;
    bool accepted = false;
    const QString text = QInputDialog::getText(nullptr, title, prompt,
                                               password ? QLineEdit::Password : QLineEdit::Normal,
                                               defaultText, &accepted, {}, hints);
    return accepted ? text : QString();
}

} // namespace platform
