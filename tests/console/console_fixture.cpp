#include "console_fixture.h"

#include "core/settings_store.h"
#include "dialogs/frm_input.h"
#include "dialogs/frm_select.h"
#include "platform/message_box.h"
#include "platform/modal_show.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>

ConsoleFixture::ConsoleFixture(const QStringList &buttons, const QByteArray &terminalLines)
{
    programState() = ProgramState();
    settings::save(settings::application, "Default", "ProgramDir", env.root());
    settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Test\\");
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (const char *name : {"Themes/Test/b.bmp", "Themes/Test.bmp", "Themes/Blue.bmp"})
        picture.save(env.path(name));
    for (const char *name : {"start", "ok", "fail", "click"})
        writeBytes(theme(QString(name) + ".wav"), "RIFF");
    writeBytes(theme("terminal.skn"), "[DEFAULT]\nPassStartSound=start\nPassOkSound=ok\n"
                                      "PassFailSound=fail\nText-Pass1=New:\nText-Pass2=Again:\n" +
                                          terminalLines);
    writeBytes(theme("Security.skn"),
               "[DEFAULT]\nmsgboxsoundclick=Sound:\nmsgboxvoicecontrol=Say:\n"
               "changesoundclick=Click:\n01=secinfo,L,0,0,200,200,0,0,0,0,0,0,Sans,8\n"
               "02=themes,L,0,200,200,50,0,0,0,0,0,0,Sans,8\n"
               "03=seclb,T,200,0,200,20,0,0,0,0,0,0,Sans,8\n"
               "04=secclick,T,200,20,200,20,0,0,0,0,0,0,Sans,8\n"
               "05=secvc,T,200,40,200,20,0,0,0,0,0,0,Sans,8\n"
               "06=ThemePic,P,200,60,40,40\n" +
                   buttons.join('\n').toUtf8() + '\n');

    platform::setModalShowHandler([this](QWidget &window) {
        QVERIFY(!dialogAnswers.isEmpty());
        const std::optional<QString> answer = dialogAnswers.takeFirst();
        window.show();
        if (auto *input = qobject_cast<frmInput *>(&window)) {
            asked.append(input->txtInput->echoMode() == QLineEdit::Normal ? "input clear"
                                                                          : "input masked");
            input->txtInput->setText(answer.value_or(QString()));
            if (answer)
                input->AcceptInput();
        } else if (auto *select = qobject_cast<frmSelect *>(&window)) {
            asked.append("select " + select->txtSel->text() + '|' + select->txtSel2->text());
            select->txtSel->setText(answer.value_or(QString()).section('|', 0, 0));
            select->txtSel2->setText(answer.value_or(QString()).section('|', 1));
            if (answer)
                select->AcceptSelection();
        }
        if (!answer)
            window.close();
    });
    platform::setInputPromptHandler(
        [this](const QString &prompt, const QString &title, const QString &defaultText) {
            asked.append(prompt + '|' + title + '|' + defaultText);
            return promptAnswers.isEmpty() ? QString() : promptAnswers.takeFirst();
        });

    console = std::make_unique<TestConsole>();
    QVERIFY(console->Form_Load());
}

ConsoleFixture::~ConsoleFixture()
{
    console.reset();
    platform::setModalShowHandler({});
    platform::setInputPromptHandler({});
}

QStringList ConsoleFixture::sounds() const
{
    QStringList names;
    for (const RecordingSoundOutput::Played &played : sound.played)
        names.append(QFileInfo(played.diskPath).completeBaseName());
    return names;
}

std::optional<QString> ConsoleFixture::store(const QStringList &arguments)
{
    QStringList command = arguments.size() == 2 ? QStringList{"get"} : QStringList{"ini", "get"};
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store", command + arguments);
    process.waitForFinished(30000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).chopped(1);
}
