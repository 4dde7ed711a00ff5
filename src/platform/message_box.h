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

// How an input prompt shows what is typed: in clear, or masked as a password field (which is
// also what it tells screen readers and input methods).
enum class PromptEcho
{
    Clear,
    Password,
};

// The system's plain input prompt: shows prompt under title with defaultText in an editable
// line and returns when the person has answered. Returns the entered text, or the empty text
// when the prompt was cancelled (which a caller cannot tell from an empty entry). Without a
// widget application it asks nothing and returns the empty text.
QString inputPrompt(const QString &prompt, const QString &title, const QString &defaultText,
                    PromptEcho echo = PromptEcho::Clear);

// Replaces what inputPrompt does, for tests that answer instead of a person; returns the
// previous handler. An empty handler restores the default.
using InputPromptHandler = std::function<QString(const QString &prompt, const QString &title,
                                                 const QString &defaultText, PromptEcho echo)>;
InputPromptHandler setInputPromptHandler(InputPromptHandler handler);

} // namespace platform
