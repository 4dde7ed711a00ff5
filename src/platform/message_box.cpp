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

QString promptDefault(const QString &prompt, const QString &title, const QString &defaultText)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return {};
    bool accepted = false;
    const QString text =
        QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &accepted);
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

QString inputPrompt(const QString &prompt, const QString &title, const QString &defaultText)
{
    if (const InputPromptHandler &handler = currentPromptHandler())
        return handler(prompt, title, defaultText);
    return promptDefault(prompt, title, defaultText);
}

InputPromptHandler setInputPromptHandler(InputPromptHandler handler)
{
    return std::exchange(currentPromptHandler(), std::move(handler));
}

} // namespace platform
