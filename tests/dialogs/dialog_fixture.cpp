#include "dialog_fixture.h"

#include "bmp_writer.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>

RecordingSound::RecordingSound()
    : m_previous(platform::setSoundOutput(this))
{}

RecordingSound::~RecordingSound()
{
    platform::setSoundOutput(m_previous);
}

void RecordingSound::play(const QString &diskPath, bool, bool)
{
    played.append(QFileInfo(diskPath).fileName());
}

ModalScript::ModalScript(std::function<void(QWidget &dialog)> script)
{
    m_previous = platform::setModalShowHandler([this, script](QWidget &dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ran = true;
        script(dialog);
    });
}

ModalScript::~ModalScript()
{
    platform::setModalShowHandler(m_previous);
}

QByteArray cutCornerBackground(int width, int height, int cut)
{
    QList<QList<QRgb>> rows;
    for (int y = 0; y < height; ++y) {
        QList<QRgb> row;
        for (int x = 0; x < width; ++x) {
            const int dx = std::min(x, width - 1 - x);
            const int dy = std::min(y, height - 1 - y);
            row.append(dx + dy < cut ? 0xFFFF00FF : BackgroundGrey);
        }
        rows.append(row);
    }
    return bmpBytes(rows, {8, false, false});
}

QString recordFile(const QString &root)
{
    return root + "/record.txt";
}

QString writeRecorder(const QString &root)
{
    QDir().mkpath(root + "/Tool Box");
    const QString script = root + "/Tool Box/record.sh";
    const QByteArray record = QFile::encodeName(recordFile(root));
    writeBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record + ".part\"\nmv \"" +
                           record + ".part\" \"" + record + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}
