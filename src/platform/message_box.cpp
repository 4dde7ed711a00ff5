#include "platform/message_box.h"

#include <QApplication>
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

} // namespace platform
