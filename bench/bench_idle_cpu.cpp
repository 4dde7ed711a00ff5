// The console left alone for 60 s on a virtual display, with a sound server to play to: its
// wakeups a second over all its threads (voluntary context switches, each the end of a sleep)
// and its CPU time, on a copy of the demo theme without animation lines beside a bare Qt window
// of the same display and time, and on the demo theme as it is beside a bare Qt window that
// plays the same GIFs at the same places with Qt's own QMovie. Each console runs with a private
// settings store and runtime folder. Needs Xvfb and pulseaudio; without them the benchmark says
// so and reports nothing.
#include "bench_report.h"
#include "console_world.h"
#include "private_pulse_server.h"
#include "process_cpu.h"

#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QTemporaryDir>

#include <cstring>

namespace {

constexpr int idleSeconds = 60;
constexpr int settleSeconds = 8;

// The demo console skin's animation lines ("radar.gif,A,-183,-208,150,150") on a window of the
// console's size, each GIF played by a QMovie in a label; none without a skin.
int runBareWindow(int argc, char *argv[], const QString &skin)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1280 - 120, 800 - 120); // the console's size on the same screen
    QFile file(skin);
    if (!skin.isEmpty() && file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QList<QByteArray> fields = file.readLine().trimmed().split(',');
            if (fields.value(1) != "A" || fields.size() < 6)
                continue;
            auto *label = new QLabel(&window);
            int left = fields[2].toInt();
            int top = fields[3].toInt();
            left = left < 0 ? window.width() + left : left;
            top = top < 0 ? window.height() + top : top;
            label->setGeometry(left, top, fields[4].toInt(), fields[5].toInt());
            label->setScaledContents(true);
            const QString gif =
                QFileInfo(skin).path() + u'/' + QString::fromUtf8(fields[0].split('=').value(1));
            auto *movie = new QMovie(gif, {}, label);
            label->setMovie(movie);
            movie->start();
        }
    }
    window.show();
    return QApplication::exec();
}

struct Child
{
    Child(QString childName, std::unique_ptr<QProcess> child)
        : name(std::move(childName))
        , process(std::move(child))
    {}
    QString name;
    std::unique_ptr<QProcess> process;
    qint64 ticks = 0;
    bench::ThreadSwitches switches;
    qint64 wakeups = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--bare") == 0)
        return runBareWindow(argc, argv, argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());

    QCoreApplication app(argc, argv);
    const QString console = QStringLiteral(KESTA_BIN_DIR "/kesta-security");
    QTemporaryDir root;
    bench::VirtualDisplay display;
    PrivatePulseServer pulse(root.filePath(QStringLiteral("pulse")));
    if (display.display().isEmpty() || !QFile::exists(console) || !pulse.start()) {
        std::fprintf(stderr, "bench_idle_cpu: needs Xvfb, pulseaudio and %s\n",
                     qPrintable(console));
        return 1;
    }
    const QString still = root.filePath(QStringLiteral("still"));
    const QString animated = root.filePath(QStringLiteral("animated"));
    if (!bench::copyDemo(QStringLiteral(KESTA_DEMO_DIR), still, true) ||
        !bench::copyDemo(QStringLiteral(KESTA_DEMO_DIR), animated, false))
        return 1;
    const QString sound = QStringLiteral("PULSE_SERVER=") + pulse.address();
    const QString self = QCoreApplication::applicationFilePath();
    // The console lays out Security1280.skn on the whole 1280-pixel screen less its margins.
    const QString animatedSkin = animated + QStringLiteral("/Themes/Default/Security1280.skn");
    Child children[] = {
        {QStringLiteral("still"),
         bench::startOnDisplay(display.display(), root.filePath(QStringLiteral("c1")), console, {},
                               still, {sound})},
        {QStringLiteral("animated"),
         bench::startOnDisplay(display.display(), root.filePath(QStringLiteral("c2")), console, {},
                               animated, {sound})},
        {QStringLiteral("bare"),
         bench::startOnDisplay(display.display(), root.filePath(QStringLiteral("c3")), self,
                               {QStringLiteral("--bare")}, {})},
        {QStringLiteral("bare with movies"),
         bench::startOnDisplay(display.display(), root.filePath(QStringLiteral("c4")), self,
                               {QStringLiteral("--bare"), animatedSkin}, {})},
    };
    QThread::sleep(settleSeconds);

    bool running = true;
    for (Child &child : children) {
        child.ticks = bench::cpuTicks(child.process->processId());
        child.switches = bench::threadSwitches(child.process->processId());
        running = running && child.ticks >= 0;
    }
    if (running) {
        QThread::sleep(idleSeconds);
        for (Child &child : children) {
            const qint64 pid = child.process->processId();
            running = running && bench::cpuTicks(pid) >= 0;
            child.ticks = bench::cpuTicks(pid) - child.ticks;
            QString byThread;
            child.wakeups =
                bench::wakeupsBetween(child.switches, bench::threadSwitches(pid), &byThread);
            std::fprintf(stderr, "bench_idle_cpu: %s: %s\n", qPrintable(child.name),
                         qPrintable(byThread));
        }
    }
    for (Child &child : children)
        bench::stop(*child.process);
    if (!running) {
        std::fprintf(stderr, "bench_idle_cpu: a child ended before the measurement did\n");
        return 1;
    }

    const auto rate = [](const Child &child) { return double(child.wakeups) / idleSeconds; };
    const auto cpu = [](const Child &child) {
        return bench::percentOfCore(child.ticks, idleSeconds);
    };
    const Child &stillConsole = children[0];
    const Child &animatedConsole = children[1];
    const Child &bare = children[2];
    const Child &movies = children[3];
    bench::printRow("idle console 60 s, demo without animations: wakeups, all threads",
                    rate(stillConsole), "bare Qt window, same display and time", rate(bare), "/s",
                    "<= 1/s", rate(stillConsole) <= 1.0);
    bench::printRow("idle console 60 s, demo without animations: CPU", cpu(stillConsole),
                    "bare Qt window, same display and time", cpu(bare), "% core", "<= 0.05%",
                    cpu(stillConsole) <= 0.05);
    bench::printRow("idle console 60 s, demo with its animations: wakeups, all threads",
                    rate(animatedConsole), "bare Qt window playing the same GIFs (QMovie)",
                    rate(movies), "/s", "<= the QMovie window's",
                    rate(animatedConsole) <= rate(movies) * 1.05);
    bench::printRow("idle console 60 s, demo with its animations: CPU", cpu(animatedConsole),
                    "bare Qt window playing the same GIFs (QMovie)", cpu(movies), "% core",
                    "<= the QMovie window's", cpu(animatedConsole) <= cpu(movies) * 1.05);
    return 0;
}
