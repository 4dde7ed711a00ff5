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
    const QString entry =
        platform::inputPrompt(prompt, QStringLiteral("KESTA Terminal"), QString());
    QCoreApplication::processEvents();
    return entry;
}

} // namespace

void ChangePassword()
{
    playPasswordSound(QStringLiteral("PassStartSound"));
    const QString first = askNewPassword(QStringLiteral("Text-Pass1"));
    const QString second = askNewPassword(QStringLiteral("Text-Pass2"));
    // The sound tells whether the password changed, so the store is written first; and the gate
    // of this console takes the new password at once, as the person was told it would.
    if (first.isEmpty() || first != second ||
        !settings::save(settings::application, QStringLiteral("DEFAULT"),
                        QStringLiteral("Password"), second)) {
        playPasswordSound(QStringLiteral("PassFailSound"));
        return;
    }
    programState().Password = second;
    playPasswordSound(QStringLiteral("PassOkSound"));
}
