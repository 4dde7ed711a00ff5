// The real console on themes that strain it, each run a fresh kesta-security process on the
// offscreen platform with a private settings store and runtime folder, measured once it has
// settled (laid out, its CPU time standing still):
// - its memory with the demo theme and one more animation line, a GIF of a 4096 x 4096
//   logical screen with 64 frames of 1 x 1 pixel (1.5 KB on disk), beside the demo theme as
//   it is;
// - the time from the shell's exit request to the end of the process on a skin of 10,000
//   visible buttons without progressive closing, beside the demo theme;
// - the memory and the CPU time above the demo's of the same 10,000 buttons, all of one
//   picture, beside 10,000 buttons each of a picture file of its own (links to that one
//   picture): one decoded picture per button, as every button had before pictures were shared.
//   CPU time rather than wall time, so that time the machine gives other processes does not
//   count;
// - the peak memory of thirty animation lines of one GIF (a 1000 x 1000 logical screen with 100
//   tiny frames, 2 KB on disk), each element 1000 x 1000 and partly in sight, beside what thirty
//   of them held before one window's animations were capped: thirty times what one such line
//   adds to the demo.
#include "bench_files.h"
#include "bench_report.h"
#include "gif_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

const QString consoleProgram = QStringLiteral(KESTA_BIN_DIR "/kesta-security");

// A copy of the demo's program folder below root/name, with its own settings store.
QString copyDemo(const QString &root, const QString &name)
{
    const QString from = QStringLiteral(KESTA_DEMO_DIR "/Themes");
    const QString home = root + u'/' + name;
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = home + QStringLiteral("/Themes") + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
    QDir().mkpath(home + QStringLiteral("/config/KESTA Terminal"));
    return home;
}

QByteArray settingsText(const QString &home, bool exitRequest)
{
    return "[Default]\nProgramDir=" + home.toUtf8() +
           "\nThemeDir=\\Themes\\Default\\\n[General]\nRunning=False\n[EXIT]\n"
           "KESTA Terminal - Security=" +
           (exitRequest ? "1" : "0") + "\n";
}

QString settingsFile(const QString &home)
{
    return home + QStringLiteral("/config/KESTA Terminal/settings.ini");
}

// A GIF of the given logical screen with `frames` frames of 1 x 1 pixel.
QByteArray tinyFrames(QSize screen, int frames)
{
    GifPlan plan;
    plan.screen = screen;
    for (int i = 0; i < frames; ++i)
        plan.frames << solidFrame({i, i, 1, 1}, 1 + i % 3, 10);
    return writeGif(plan);
}

// Writes gif as a file of the demo theme under home, and lines at the end of its console skin's
// [DEFAULT].
bool addAnimations(const QString &home, const QString &gifName, const QByteArray &gif,
                   const QByteArray &lines)
{
    const QString theme = home + QStringLiteral("/Themes/Default/");
    QByteArray skin = bench::readFile(theme + QStringLiteral("Security.skn"));
    const qsizetype end = skin.indexOf("\n[", skin.indexOf("[DEFAULT]"));
    if (end < 0)
        return false;
    skin.insert(end + 1, lines);
    return bench::writeFile(theme + gifName, gif) &&
           bench::writeFile(theme + QStringLiteral("Security.skn"), skin);
}

// The demo's console skin with one more line in its layout section, a GIF of a 4096 x 4096
// logical screen with 64 frames.
bool addHeavyGif(const QString &home)
{
    return addAnimations(home, QStringLiteral("heavy.gif"), tinyFrames({4096, 4096}, 64),
                         "51=heavy.gif,A,8,8,48,48\r\n");
}

// count animation lines of one GIF of a 1000 x 1000 logical screen with 100 frames, each
// element 1000 x 1000, 10 pixels right of and below the one before.
bool addAnimationLines(const QString &home, int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += QByteArray::number(51 + i) + "=tiny.gif,A," + QByteArray::number(10 * i) + ',' +
                 QByteArray::number(10 * i) + ",1000,1000\r\n";
    return addAnimations(home, QStringLiteral("tiny.gif"), tinyFrames({1000, 1000}, 100), lines);
}

// A console skin of 10,000 buttons, 100 rows of 100, each 10 x 10 pixels: all of dlg_ok.bmp,
// or each of a file of its own, a link to it.
bool writeButtonSkin(const QString &home, bool filePerButton = false)
{
    const QString theme = home + QStringLiteral("/Themes/Default/");
    QByteArray skin = "[DEFAULT]\r\nBackGround=14,22,34\r\n";
    for (int n = 1; n <= 10000; ++n) {
        QByteArray picture = "dlg_ok.bmp";
        if (filePerButton) {
            picture = "b" + QByteArray::number(n) + ".bmp";
            if (!QFile::link(theme + QStringLiteral("dlg_ok.bmp"),
                             theme + QString::fromLatin1(picture)))
                return false;
        }
        skin += QByteArray::number(n).rightJustified(2, '0') + "=" + picture + ",B," +
                QByteArray::number((n - 1) % 100 * 8) + "," +
                QByteArray::number((n - 1) / 100 * 6) + ",10,10,over,click,False,QUIT\r\n";
    }
    return bench::writeFile(theme + QStringLiteral("Security.skn"), skin);
}

// A /proc figure of a process: user + system CPU ticks from "stat", or a "status" line's kB.
qint64 cpuTicks(qint64 pid)
{
    const QByteArray text = bench::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() < 13 ? -1 : fields[11].toLongLong() + fields[12].toLongLong();
}

double statusMegabytes(qint64 pid, const QByteArray &key)
{
    const QByteArray text = bench::readFile(QStringLiteral("/proc/%1/status").arg(pid));
    const qsizetype at = text.indexOf(key + ':');
    if (at < 0)
        return -1.0;
    const QByteArray value = text.mid(at + key.size() + 1, text.indexOf('\n', at) - at);
    return value.simplified().split(' ').value(0).toDouble() / 1024.0;
}

class Console
{
public:
    explicit Console(const QString &home)
        : m_home(home)
    {
        const QString runtime = home + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        bench::writeFile(settingsFile(home), settingsText(home, false));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_process.setProcessEnvironment(environment);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(consoleProgram, {});
    }

    ~Console()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Waits until the console has used no more than 100 ms of CPU time in a second: laid out.
    // (Each hover pass over 10,000 buttons keeps it a little busy for good.)
    bool settle()
    {
        if (!m_process.waitForStarted(10000))
            return false;
        qint64 before = cpuTicks(m_process.processId());
        for (int second = 0; second < 120 && before >= 0; ++second) {
            QThread::sleep(1);
            const qint64 now = cpuTicks(m_process.processId());
            if (now >= 0 && now - before <= 10)
                return true;
            before = now;
        }
        return false;
    }

    double megabytes(const QByteArray &key) const
    {
        return statusMegabytes(m_process.processId(), key);
    }

    double cpuMilliseconds() const
    {
        return double(cpuTicks(m_process.processId())) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    }

    // Milliseconds from the exit request until the process has ended; negative when it did
    // not end within a minute.
    double exitTime()
    {
        QElapsedTimer clock;
        clock.start();
        if (!bench::writeFile(settingsFile(m_home), settingsText(m_home, true)) ||
            !m_process.waitForFinished(60000))
            return -1.0;
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }

private:
    QString m_home;
    QProcess m_process;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!QFile::exists(consoleProgram)) {
        std::fprintf(stderr, "bench_heavy_theme: needs %s\n", qPrintable(consoleProgram));
        return 1;
    }
    QTemporaryDir root;
    const QString demo = copyDemo(root.path(), QStringLiteral("demo"));
    const QString heavy = copyDemo(root.path(), QStringLiteral("gif"));
    const QString buttons = copyDemo(root.path(), QStringLiteral("buttons"));
    const QString ownFiles = copyDemo(root.path(), QStringLiteral("files"));
    const QString oneAnimation = copyDemo(root.path(), QStringLiteral("one"));
    const QString thirtyAnimations = copyDemo(root.path(), QStringLiteral("thirty"));
    if (!addHeavyGif(heavy) || !writeButtonSkin(buttons) || !writeButtonSkin(ownFiles, true) ||
        !addAnimationLines(oneAnimation, 1) || !addAnimationLines(thirtyAnimations, 30))
        return 1;

    // Memory and exit time of one run each in turn, so that a busy moment falls on all alike.
    std::vector<double> demoMemory, heavyMemory, heavyPeak, demoPeak, demoExit, buttonsExit;
    std::vector<double> demoCpu, buttonsMemory, buttonsCpu, ownFilesMemory, ownFilesCpu;
    std::vector<double> onePeak, thirtyPeak;
    for (int run = 0; run < 5; ++run) {
        Console plain(demo);
        Console withGif(heavy);
        if (!plain.settle() || !withGif.settle()) {
            std::fprintf(stderr, "bench_heavy_theme: a console did not settle\n");
            return 1;
        }
        demoMemory.push_back(plain.megabytes("VmRSS"));
        demoCpu.push_back(plain.cpuMilliseconds());
        demoPeak.push_back(plain.megabytes("VmHWM"));
        heavyMemory.push_back(withGif.megabytes("VmRSS"));
        heavyPeak.push_back(withGif.megabytes("VmHWM"));
        demoExit.push_back(plain.exitTime());
        withGif.exitTime();
        Console many(buttons);
        Console separate(ownFiles);
        if (!many.settle() || !separate.settle()) {
            std::fprintf(stderr, "bench_heavy_theme: a 10,000-button console did not settle\n");
            return 1;
        }
        buttonsMemory.push_back(many.megabytes("VmRSS"));
        buttonsCpu.push_back(many.cpuMilliseconds() - demoCpu.back());
        ownFilesMemory.push_back(separate.megabytes("VmRSS"));
        ownFilesCpu.push_back(separate.cpuMilliseconds() - demoCpu.back());
        buttonsExit.push_back(many.exitTime());
        Console one(oneAnimation);
        Console thirty(thirtyAnimations);
        if (!one.settle() || !thirty.settle()) {
            std::fprintf(stderr, "bench_heavy_theme: an animated console did not settle\n");
            return 1;
        }
        onePeak.push_back(one.megabytes("VmHWM"));
        thirtyPeak.push_back(thirty.megabytes("VmHWM"));
    }
    if (*std::min_element(buttonsExit.cbegin(), buttonsExit.cend()) < 0 ||
        *std::min_element(demoExit.cbegin(), demoExit.cend()) < 0) {
        std::fprintf(stderr, "bench_heavy_theme: a console did not end on the exit request\n");
        return 1;
    }
    const double memory = bench::median(heavyMemory);
    const double peak = bench::median(heavyPeak);
    bench::printRow("console memory, demo theme + 4096 x 4096 GIF of 64 frames", memory,
                    "demo theme as it is", bench::median(demoMemory), "MB", "<= +100 MB",
                    memory - bench::median(demoMemory) <= 100.0);
    bench::printRow("console peak memory, same two themes", peak, "demo theme as it is",
                    bench::median(demoPeak), "MB", "<= +100 MB",
                    peak - bench::median(demoPeak) <= 100.0);
    const double manyMemory = bench::median(buttonsMemory);
    const double demoRss = bench::median(demoMemory);
    bench::printRow("console memory, 10,000 buttons of one picture", manyMemory,
                    "each of a picture file of its own", bench::median(ownFilesMemory), "MB",
                    "<= demo + 60 MB (" + std::to_string(int(demoRss)) + " MB)",
                    manyMemory - demoRss <= 60.0);
    const double layout = bench::median(buttonsCpu);
    bench::printRow("console CPU time above the demo's, 10,000 buttons of one picture", layout,
                    "each of a picture file of its own", bench::median(ownFilesCpu), "ms",
                    "<= 1000 ms", layout <= 1000.0);
    // Past 256 MiB, each further animation holds its first frame of 4 MB alone.
    const double framesCap = 256.0 * 1.048576 + 26 * 4.0;
    const double thirtyFigure = bench::median(thirtyPeak);
    const double uncapped =
        bench::median(demoPeak) + 30 * (bench::median(onePeak) - bench::median(demoPeak));
    bench::printRow("console peak memory, thirty 1000 x 1000 animations of 100 frames",
                    thirtyFigure, "thirty times one such animation, no window cap", uncapped, "MB",
                    "<= demo + 256 MiB + first frames",
                    thirtyFigure - bench::median(demoPeak) <= framesCap + 60.0);
    const double exit = bench::median(buttonsExit);
    bench::printRow("exit request to end, 10,000 buttons, not animated", exit,
                    "demo theme as it is", bench::median(demoExit), "ms", "<= 1000 ms",
                    exit <= 1000.0);
    return 0;
}
