// CPU time of the console left alone for 30 s on a virtual display, on the demo theme as it is
// (with its animations) and on a copy of it without animation lines, beside a bare Qt window
// of the same binary idling on the same display over the same 30 s. Each console runs with a
// private settings store and runtime folder. Needs Xvfb; without it the benchmark says so and
// reports nothing.
#include "bench_report.h"
#include "process_cpu.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <cstring>
#include <memory>

namespace {

constexpr int idleSeconds = 30;
constexpr int settleSeconds = 8;

int runBareWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 768);
    window.show();
    return QApplication::exec();
}

// Copies the themes of the demo folder to `to`, leaving out every animation line.
bool copyWithoutAnimations(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile in(source);
        QFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return false;
        if (!source.endsWith(QStringLiteral(".skn"), Qt::CaseInsensitive)) {
            out.write(in.readAll());
            continue;
        }
        while (!in.atEnd()) {
            const QByteArray line = in.readLine();
            if (line.split(',').value(1).trimmed() != "A")
                out.write(line);
        }
    }
    return true;
}

struct Child
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    qint64 ticks = 0;
};

// A child with its own settings store and runtime folder below root/name.
void start(Child &child, const QString &root, const QString &name, const QString &display,
           const QString &program, const QStringList &arguments, const QString &programDir)
{
    const QString home = root + u'/' + name;
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
    child.process->setProcessEnvironment(environment);
    child.process->setStandardOutputFile(QProcess::nullDevice());
    child.process->setStandardErrorFile(QProcess::nullDevice());
    child.process->start(program, arguments);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return runBareWindow(argc, argv);

    QCoreApplication app(argc, argv);
    const QString xvfbProgram = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString console = QStringLiteral(KESTA_BIN_DIR "/kesta-security");
    if (xvfbProgram.isEmpty() || !QFile::exists(console)) {
        std::fprintf(stderr, "bench_idle_cpu: needs Xvfb and %s\n", qPrintable(console));
        return 1;
    }
    QTemporaryDir root;
    if (!copyWithoutAnimations(QStringLiteral(KESTA_DEMO_DIR "/Themes"),
                               root.filePath(QStringLiteral("still/Themes"))))
        return 1;

    const int number = 300 + static_cast<int>(QCoreApplication::applicationPid() % 300);
    const QString display = QStringLiteral(":%1").arg(number);
    QProcess xvfb;
    xvfb.setStandardOutputFile(QProcess::nullDevice());
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(xvfbProgram,
               {display, QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    for (int wait = 0;
         wait < 100 && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)); ++wait)
        QThread::msleep(50);

    Child animated;
    Child still;
    Child bare;
    start(animated, root.path(), QStringLiteral("animated"), display, console, {},
          QStringLiteral(KESTA_DEMO_DIR));
    start(still, root.path(), QStringLiteral("still"), display, console, {},
          root.filePath(QStringLiteral("still")));
    start(bare, root.path(), QStringLiteral("bare"), display,
          QCoreApplication::applicationFilePath(), {QStringLiteral("--bare")}, {});
    QThread::sleep(settleSeconds);

    Child *children[] = {&animated, &still, &bare};
    bool running = true;
    for (Child *child : children) {
        child->ticks = bench::cpuTicks(child->process->processId());
        running = running && child->ticks >= 0;
    }
    if (running) {
        QThread::sleep(idleSeconds);
        for (Child *child : children) {
            const qint64 now = bench::cpuTicks(child->process->processId());
            running = running && now >= 0;
            child->ticks = now - child->ticks;
        }
    }
    for (Child *child : children) {
        child->process->kill();
        child->process->waitForFinished(5000);
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    if (!running) {
        std::fprintf(stderr, "bench_idle_cpu: a child ended before the measurement did\n");
        return 1;
    }

    const double bareFigure = bench::percentOfCore(bare.ticks, idleSeconds);
    const double stillFigure = bench::percentOfCore(still.ticks, idleSeconds);
    const double animatedFigure = bench::percentOfCore(animated.ticks, idleSeconds);
    bench::printRow("idle console 30 s, demo theme without animations", stillFigure,
                    "bare Qt window, same display and time", bareFigure, "% core", "<= 0.2%",
                    stillFigure <= 0.2);
    bench::printRow("idle console 30 s, demo theme with its animations", animatedFigure,
                    "bare Qt window, same display and time", bareFigure, "% core", "<= 1%",
                    animatedFigure <= 1.0);
    return 0;
}
