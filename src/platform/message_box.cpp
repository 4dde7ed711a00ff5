#include "platform/message_box.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

namespace platform {
namespace {

MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

void showDefault(const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox::information(nullptr, QGuiApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

InputPromptHandler &currentPromptHandler()
{
    static InputPromptHandler handler;
    return handler;
}

QString promptDefault(const QString &prompt, const QString &title, const QString &defaultText,
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

} // namespace

void showMessage(const QString &text)
{
    if (const MessageHandler &handler = currentHandler())
        handler(text);
    else
        showDefault(text);
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

QString inputPrompt(const QString &prompt, const QString &title, const QString &defaultText,
                    PromptEcho echo)
{
    if (const InputPromptHandler &handler = currentPromptHandler())
        return handler(prompt, title, defaultText, echo);
    return promptDefault(prompt, title, defaultText, echo);
}

InputPromptHandler setInputPromptHandler(InputPromptHandler handler)
{
    return std::exchange(currentPromptHandler(), std::move(handler));
}

} // namespace platform
