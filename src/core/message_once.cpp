#include "core/message_once.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"

#include <QHash>

#include <optional>

bool isNewFor(const QString &message, const QString &file)
{
    static QHash<QString, std::optional<platform::FileStamp>> shown;
    const QString path = platform::nativePath(file);
    const std::optional<platform::FileStamp> stamp = platform::stampOfPath(path);
    const QString key = message + u'\n' + path;
    const auto found = shown.constFind(key);
    if (found != shown.constEnd() && *found == stamp)
        return false;
    if (shown.size() > 256)
        shown.clear(); // a bound for a theme full of broken files; at worst a box shows again
    shown.insert(key, stamp);
    return true;
}
