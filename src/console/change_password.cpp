#include "console/change_password.h"

#include "console/password_gate.h"
#include "core/settings_store.h"
#include "platform/message_box.h"
#include "skin/theme.h"

#include <QCoreApplication>

namespace {

QString askNewPassword(const skin::Theme &theme, const QString &promptKey)
{
    const QString prompt = theme.shellSkin().text(QStringLiteral("DEFAULT"), promptKey, QString());
    const QString entry = platform::inputPrompt(prompt, QStringLiteral("KESTA Terminal"), QString(),
                                                platform::PromptEcho::Password);
    QCoreApplication::processEvents();
    return entry;
}

} // namespace

QString ChangePassword(const skin::Theme &theme)
{
    playPasswordSound(theme, QStringLiteral("PassStartSound"));
    QString first = askNewPassword(theme, QStringLiteral("Text-Pass1"));
    QString second = askNewPassword(theme, QStringLiteral("Text-Pass2"));
    // The sound tells whether the password changed, so the store is written first; the gate
    // reads it from there, so it takes the new password at once, as the person was told it would.
    const bool changed = !first.isEmpty() && first == second &&
                         settings::save(settings::application, QStringLiteral("DEFAULT"),
                                        QStringLiteral("Password"), second);
    const bool differ = !first.isEmpty() && !second.isEmpty() && first != second;
    forgetPassword(first);
    forgetPassword(second);
    playPasswordSound(theme,
                      changed ? QStringLiteral("PassOkSound") : QStringLiteral("PassFailSound"));
    if (changed)
        return QStringLiteral("Password changed");
    return differ ? QStringLiteral("The passwords differ") : QStringLiteral("Password not changed");
}
