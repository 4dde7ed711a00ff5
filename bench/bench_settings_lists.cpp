// Filling the console's protection and switch lists from a theme of 40 skin files with 50
// SECURITY entries each (a quarter of them with an override file): the time of a fill when
// every file has just changed and when nothing has, beside the same keys read straight from
// documents parsed once, and how many times each file is parsed in a fill.

#include "bench_report.h"
#include "console/settings_lists.h"
#include "platform/profile_document.h"
#include "platform/profile_engine.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

constexpr int skinCount = 40;
constexpr int entryCount = 50;
constexpr int switchCount = 12;

QByteArray key(int n)
{
    return QByteArray::number(n).rightJustified(2, '0');
}

QByteArray skinFile(int skin)
{
    QByteArray text = "[DEFAULT]\r\nBackGround=0,0,0\r\n";
    if (skin == 0) {
        for (int n = 1; n <= switchCount; ++n)
            text += "Switch" + QByteArray::number(n) + "=" + (n % 3 ? "True" : "False") + "\r\n";
        text += "[GLOBAL]\r\n";
        for (int n = 1; n <= switchCount; ++n)
            text += key(n) + "=Switch" + QByteArray::number(n) + ": a shell switch\r\n";
    }
    text += "[SECURITY]\r\n";
    for (int n = 1; n <= entryCount; ++n)
        text += key(n) + "=" + key(n) + " BUTTONS Button number " + QByteArray::number(n) +
                " of this skin\r\n";
    text += "[BUTTONS]\r\n";
    for (int n = 1; n <= entryCount; ++n)
        text += key(n) + "=button" + QByteArray::number(n) +
                ".bmp,B,-100,10,80,20,over.wav,click.wav," + (n % 2 ? "True" : "False") +
                ",CHANGESOUNDCLICK\r\n";
    return text;
}

QByteArray overrideFile()
{
    QByteArray text = "[BUTTONS]\r\n";
    for (int n = 1; n <= entryCount; n += 5)
        text += key(n) + "=button.bmp,B,0,0,8,8,o.wav,c.wav,False,RUN\r\n";
    return text;
}

QString skinName(int skin)
{
    return skin == 0 ? QStringLiteral("terminal")
                     : QStringLiteral("skin%1").arg(skin, 2, 10, QChar(u'0'));
}

struct Theme
{
    QString folder;
    QList<QPair<QString, QByteArray>> files;

    int parsedFiles() const { return static_cast<int>(files.size()); }

    void write() const
    {
        for (const auto &[path, bytes] : files) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(bytes);
        }
    }
};

Theme makeTheme(const QString &root)
{
    Theme theme;
    theme.folder = root + QStringLiteral("/Themes/Bench");
    QDir().mkpath(theme.folder);
    for (int skin = 0; skin < skinCount; ++skin) {
        const QString base = theme.folder + u'/' + skinName(skin);
        theme.files.append({base + QStringLiteral(".skn"), skinFile(skin)});
        if (skin % 4 == 1)
            theme.files.append({base + QStringLiteral(".ini"), overrideFile()});
    }
    theme.write();
    return theme;
}

// The fill's reads without the INI layer, the lister or the lists: every file parsed once.
int readSameKeysDirectly(const Theme &theme)
{
    int protectedCount = 0;
    for (int skin = 0; skin < skinCount; ++skin) {
        const QString base = theme.folder + u'/' + skinName(skin);
        QFile skinDevice(base + QStringLiteral(".skn"));
        QFile overrideDevice(base + QStringLiteral(".ini"));
        if (!skinDevice.open(QIODevice::ReadOnly))
            return -1;
        const platform::ProfileDocument document(skinDevice.readAll());
        const platform::ProfileDocument overrides(
            overrideDevice.open(QIODevice::ReadOnly) ? overrideDevice.readAll() : QByteArray());
        for (int n = 1;; ++n) {
            const QString k = QString::fromLatin1(key(n));
            const std::optional<QString> entry = document.value(u"SECURITY", k);
            if (!entry)
                break;
            const QString number = entry->left(2);
            const QString section = entry->mid(3).section(u' ', 0, 0);
            QString line = overrides.value(section, number).value_or(QString());
            if (line.isEmpty())
                line = document.value(section, number).value_or(QString());
            protectedCount += line.section(u',', 8, 8).toUpper() != u"FALSE";
        }
        if (skin == 0) {
            for (int n = 1;; ++n) {
                const std::optional<QString> entry =
                    document.value(u"GLOBAL", QString::fromLatin1(key(n)));
                if (!entry)
                    break;
                const QString name = entry->section(u' ', 0, 0).chopped(1);
                protectedCount += document.value(u"DEFAULT", name).value_or(QString()) != u"False";
            }
        }
    }
    return protectedCount;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const Theme theme = makeTheme(root.path());
    const skin::Theme folder(root.path(), QStringLiteral("\\Themes\\Bench\\"),
                             QStringLiteral("Security"));

    SkinnedWindow window;
    for (int i = 1; i <= 3; ++i)
        window.addListBox(i);
    FileListBox lister;

    constexpr int runs = 30;
    std::vector<double> coldSamples, warmSamples, directSamples;
    platform::ProfileCounts coldCounts;
    bool everyFillComplete = true;
    for (int i = 0; i < runs; ++i) {
        theme.write(); // every file changes, so the fill must parse each one
        const platform::ProfileCounts before = platform::profileCounts();
        coldSamples.push_back(
            bench::medianMicroseconds(1, [&] { FillSettingsLists(window, lister, folder); }));
        const platform::ProfileCounts after = platform::profileCounts();
        coldCounts = {after.lookups - before.lookups, after.parses - before.parses};
        warmSamples.push_back(
            bench::medianMicroseconds(1, [&] { FillSettingsLists(window, lister, folder); }));
        directSamples.push_back(bench::medianMicroseconds(1, [&] { readSameKeysDirectly(theme); }));
        everyFillComplete = everyFillComplete &&
                            window.lstBox(1)->count() == skinCount * (entryCount + 1) &&
                            window.lstBox(3)->count() == switchCount;
    }
    const auto median = [](std::vector<double> samples) {
        std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
        return samples[samples.size() / 2] / 1000.0;
    };
    const double cold = median(coldSamples);
    const double warm = median(warmSamples);
    const double direct = median(directSamples);
    const double files = theme.parsedFiles();
    const double parsesPerFile = static_cast<double>(coldCounts.parses) / files;
    const double lookupsPerFile = static_cast<double>(coldCounts.lookups) / files;

    const std::string peer = "same keys read straight from documents parsed once";
    constexpr double budget = 100.0;
    bench::printRow("settings lists fill, 40 skins x 50 entries, files just changed", cold, peer,
                    direct, "ms", "< 100 ms", everyFillComplete && cold < budget);
    bench::printRow("settings lists fill, 40 skins x 50 entries, nothing changed", warm, peer,
                    direct, "ms", "< 100 ms", everyFillComplete && warm < budget);
    bench::printRow("parses per file in a fill, files just changed", parsesPerFile,
                    "lookups per file (parses without the cache)", lookupsPerFile, "per file",
                    "1 per file", coldCounts.parses == static_cast<quint64>(files));
    return 0;
}
