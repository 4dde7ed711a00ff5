#pragma once

#include <QString>

#include <functional>

namespace platform {

// Shows a message with an OK button only, under the program's default title, and returns when
// the person has closed it. Without a widget application the text goes to standard error.
void showMessage(const QString &text);

// Replaces what showMessage does, for tests and command-line tools; returns the previous
// handler. An empty handler restores the default.
using MessageHandler = std::function<void(const QString &text)>;
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace platform
