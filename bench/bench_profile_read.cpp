// Reading one key of a 10,000-line skin file, cold (the file has just changed) and warm,
// beside inih parsing the same file in the same run; writing one key of that file and of a
// settings-sized file, beside the bare durable replace of the same bytes (new file beside it,
// flushed, renamed, folder flushed): the least any write that survives a power cut costs.

#include "bench_report.h"
#include "core/ini_access.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <fcntl.h>
#include <ini.h>
#include <unistd.h>

namespace {

QByteArray skinFile(int lines)
{
    QByteArray text;
    int written = 0;
    for (int section = 0; written < lines; ++section) {
        text += "[SECTION" + QByteArray::number(section) + "]\r\n";
        ++written;
        for (int key = 1; key <= 200 && written < lines; ++key, ++written)
            text += QByteArray::number(key).rightJustified(2, '0') + "=button" +
                    QByteArray::number(key) +
                    ".bmp,B,-100,10,80,20,over.wav,click.wav,False,"
                    "CHANGESOUNDCLICK\r\n";
    }
    return text;
}

struct Wanted
{
    const char *section;
    const char *key;
    bool found = false;
};

int findKey(void *user, const char *section, const char *name, const char *)
{
    auto *wanted = static_cast<Wanted *>(user);
    if (std::strcmp(section, wanted->section) == 0 && std::strcmp(name, wanted->key) == 0)
        wanted->found = true;
    return 1;
}

void rewrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// The same bytes put in place as safely as any write must, with nothing else around it.
void durableReplace(const QByteArray &path, const QByteArray &bytes)
{
    const QByteArray temporary = path + ".new";
    const int file = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(file, bytes.constData(), bytes.size()) != bytes.size() || ::fsync(file) != 0)
        std::abort();
    ::close(file);
    std::rename(temporary.constData(), path.constData());
    const QByteArray folderPath = path.left(path.lastIndexOf('/'));
    const int folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY);
    ::fsync(folder);
    ::close(folder);
}

// One key written again and again, with a value that differs each time, beside the durable
// replace of bytes of the same size; interleaved so that both see the same disk.
void benchWrite(const QString &what, const QString &path, const QByteArray &bytes)
{
    rewrite(path, bytes);
    const QByteArray peerPath = QFile::encodeName(path + QStringLiteral(".peer"));
    constexpr int runs = 100;
    std::vector<double> writes, replaces;
    for (int i = 0; i < runs; ++i) {
        const QString value = QStringLiteral("value%1").arg(i % 2);
        writes.push_back(bench::medianMicroseconds(1, [&] {
            (void)WriteINI(QStringLiteral("SECTION0"), QStringLiteral("07"), value, path);
        }));
        replaces.push_back(bench::medianMicroseconds(1, [&] { durableReplace(peerPath, bytes); }));
    }
    std::sort(writes.begin(), writes.end());
    std::sort(replaces.begin(), replaces.end());
    const double write = writes[runs / 2];
    const double replace = replaces[runs / 2];
    bench::printRow(what.toStdString(), write, "durable replace", replace, "us", "<= 3",
                    write <= 3 * replace);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Security.skn"));
    const QByteArray bytes = skinFile(10000);
    rewrite(path, bytes);
    const QString section = QStringLiteral("SECTION49");
    const QString key = QStringLiteral("150");
    const QByteArray localPath = QFile::encodeName(path);

    constexpr int runs = 200;
    double cold = 0;
    double inih = 0;
    // Interleaved so that both see the same machine state.
    std::vector<double> coldSamples, inihSamples;
    for (int i = 0; i < runs; ++i) {
        rewrite(path, bytes);
        coldSamples.push_back(bench::medianMicroseconds(1, [&] { ReadINI(section, key, path); }));
        inihSamples.push_back(bench::medianMicroseconds(1, [&] {
            Wanted wanted{"SECTION49", "150"};
            ini_parse(localPath.constData(), findKey, &wanted);
        }));
    }
    std::sort(coldSamples.begin(), coldSamples.end());
    std::sort(inihSamples.begin(), inihSamples.end());
    cold = coldSamples[runs / 2];
    inih = inihSamples[runs / 2];
    const double warm = bench::medianMicroseconds(20000, [&] { ReadINI(section, key, path); });

    bench::printRow("INI cold read, 10,000-line file", cold, "inih parse", inih, "us", "<= 1.5",
                    cold <= 1.5 * inih);
    bench::printRow("INI warm read, same file", warm, "INI cold read", cold, "us",
                    "<= 0.02 (50x faster)", warm * 50 <= cold);
    benchWrite(QStringLiteral("INI write, 10,000-line file"), path, bytes);
    benchWrite(QStringLiteral("INI write, 20-line file"),
               dir.filePath(QStringLiteral("settings.ini")), skinFile(20));
    return 0;
}
