#pragma once

#include "platform/services.h"

#include <QString>

namespace platform {

// Shows a message with an OK button only, under the program's default title, and returns when
// the person has closed it (services().showMessage).
void showMessage(const QString &text);

// The plain input prompt (services().inputPrompt): shows prompt under title with defaultText in
// an editable line and returns when the person has answered. Returns the entered text, or the
// empty text when the prompt was cancelled (which a caller cannot tell from an empty entry). A
// password prompt starts empty and asks through a password field (askForSecret). Once it has
// closed, the window that had the keyboard has it again.
QString inputPrompt(const QString &prompt, const QString &title, const QString &defaultText,
                    PromptEcho echo = PromptEcho::Clear);

// The system's own message box and input prompt, what the two above use unless a test replaced
// them. Without a widget application the message goes to standard error and the prompt asks
// nothing and returns the empty text.
void showMessageBox(const QString &text);
QString askForText(const QString &prompt, const QString &title, const QString &defaultText,
                   PromptEcho echo);

} // namespace platform
