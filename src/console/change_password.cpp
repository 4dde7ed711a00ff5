#include "console/change_password.h"

#include "console/password_gate.h"
#include "console/settings_entries.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/message_box.h"

#include <QCoreApplication>

namespace {

QString askNewPassword(const QString &promptKey)
{
    const QString prompt =
        readIni(QStringLiteral("DEFAULT"), promptKey, console::terminalSkinFile())
            .value_or(QString());
    const QString entry = platform::inputPrompt(prompt, QStringLiteral("KESTA Terminal"), QString(),
                                                platform::PromptEcho::Password);
    QCoreApplication::processEvents();
    return entry;
}

} // namespace

void ChangePassword()
{
    playPasswordSound(QStringLiteral("PassStartSound"));
    QString first = askNewPassword(QStringLiteral("Text-Pass1"));
    QString second = askNewPassword(QStringLiteral("Text-Pass2"));
    // The sound tells whether the password changed, so the store is written first; and the gate
    // of this console takes the new password at once, as the person was told it would.
    const bool changed = !first.isEmpty() && first == second &&
                         settings::save(settings::application, QStringLiteral("DEFAULT"),
                                        QStringLiteral("Password"), second);
    if (changed)
        programState().Password = second;
    forgetPassword(first);
    forgetPassword(second);
    playPasswordSound(changed ? QStringLiteral("PassOkSound") : QStringLiteral("PassFailSound"));
}
