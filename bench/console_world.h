#pragma once

// What the benchmarks that watch the real console share: a virtual display of its own, and
// consoles that run on it, each with a private settings store and runtime folder.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <memory>

namespace bench {

// Xvfb on a free display number, 1280 x 800; display() is empty when it did not start.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (program.isEmpty())
            return;
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                 QStringLiteral("-screen"), QStringLiteral("0"),
                                 QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                 QStringLiteral("tcp")});
        QByteArray number;
        for (int wait = 0; wait < 150 && !number.contains('\n'); ++wait) {
            m_server.waitForReadyRead(100);
            number += m_server.readAllStandardOutput();
        }
        if (number.contains('\n'))
            m_display = u':' + QString::fromLatin1(number.trimmed());
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

// Copies the demo's themes to programDir/Themes, without animation lines when still.
inline bool copyDemo(const QString &demo, const QString &programDir, bool still)
{
    const QString from = demo + QStringLiteral("/Themes");
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = programDir + QStringLiteral("/Themes") + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile in(source);
        QFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return false;
        while (!in.atEnd()) {
            const QByteArray line = in.readLine();
            if (!still || !source.endsWith(QStringLiteral(".skn")) ||
                line.split(',').value(1).trimmed() != "A")
                out.write(line);
        }
    }
    return true;
}

// A program on the display with its own settings store and runtime folder below home, the
// store naming programDir's Default theme.
inline std::unique_ptr<QProcess> startOnDisplay(const QString &display, const QString &home,
                                                const QString &program,
                                                const QStringList &arguments,
                                                const QString &programDir,
                                                const QStringList &variables = {})
{
    const QString config = home + QStringLiteral("/config/KESTA Terminal");
    const QString runtime = home + QStringLiteral("/runtime");
    QDir().mkpath(config);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile settings(config + QStringLiteral("/settings.ini"));
    if (settings.open(QIODevice::WriteOnly)) {
        settings.write("[Default]\nProgramDir=" + programDir.toUtf8() +
                       "\nThemeDir=\\Themes\\Default\\\n[General]\nRunning=False\n");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("PULSE_SERVER"),
                       QStringLiteral("unix:") + home + QStringLiteral("/no-sound-server"));
    for (const QString &variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, arguments);
    process->waitForStarted(10000);
    return process;
}

inline void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(5000);
}

} // namespace bench
