#pragma once

#include <QString>

namespace platform {

// The system's prompt for a secret: prompt above a password field (PasswordField) under title,
// with OK and Cancel. The entered text, or the empty text when cancelled. The field is named
// by prompt (or "Password" when prompt is empty) for assistive technology.
QString askForSecret(const QString &prompt, const QString &title);

} // namespace platform
