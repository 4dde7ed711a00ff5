#include "platform/shell_open.h"

#include "platform/native_path.h"
#include "platform/program_start.h"
#include "platform/services.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {

bool openWithDesktop(const QUrl &url)
{
    return services().openWithDesktop(url);
}

// One letter before ":" is a drive of a stored Windows path, not a scheme.
bool isAddress(const QString &file)
{
    const QUrl url(file, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() >= 2 && file.at(url.scheme().size()) == u':';
}

bool hasSeparator(const QString &file)
{
    return file.contains(u'/') || file.contains(u'\\');
}

struct Located
{
    QString path;
    bool fromPath = false;
};

Located locate(const QString &file, const QString &folder)
{
    if (hasSeparator(file)) {
        const QString given = nativePath(file);
        if (QFileInfo(given).isAbsolute())
            return {given, false};
        return {nativePath(folder + u'/' + file), false};
    }
    // PATH first, as a shell looks: a file in the program folder does not shadow a program.
    const QString onPath = QStandardPaths::findExecutable(file);
    if (!onPath.isEmpty())
        return {onPath, true};
    return {nativePath(folder + u'/' + file), false};
}

} // namespace

bool shellOpen(const QString &file, const QString &parameters, const QString &workingFolder)
{
    if (file.isEmpty())
        return false;
    const QString folder = nativePath(workingFolder);
    if (isAddress(file) && !QFileInfo::exists(QDir(folder).filePath(file)))
        return openWithDesktop(QUrl(file));

    const Located located = locate(file, folder);
    const QFileInfo info(located.path);
    if (!info.exists())
        return false;
    if (info.isFile() && info.isExecutable()) {
        if (startProgram(info.absoluteFilePath(), QProcess::splitCommand(parameters), folder))
            return true;
        if (located.fromPath)
            return false;
    }
    return openWithDesktop(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace platform
