#pragma once

#include "platform/file_stamp.h"

#include <QString>

#include <optional>

namespace platform {

// Paths in the shared stores use backslashes ("\Themes\Blue\") and the Windows habit of
// ignoring letter case in file names. nativePath() turns such a path into the path of the file
// on this disk: both "\" and "/" separate components, and a component that does not exist as
// written is matched without regard to case against the names in its folder (the first match in
// name order wins). Components that match nothing are kept as written, so the result is also the
// right name for a file about to be created.
QString nativePath(const QString &storedPath);
// nativePath(), also giving in *stamp what lies at the result now (std::nullopt for nothing),
// from the same look at the disk: a reader that needs both looks once.
QString nativePath(const QString &storedPath, std::optional<FileStamp> *stamp);

// While one lives on a thread, each stored path that thread resolves looks at the disk once:
// later resolutions of it, and the stamps they give, are what that first look saw. For a pass
// that reads many keys of a few files in a moment (a start reads each skin file for every layout
// line); a file that another program changes during the pass is seen once the pass ends, or once
// a platform::FileWatch tells of the change. Any write or delete of a profile file by this
// process forgets what was seen too. Passes nest.
class OneLookPerFile
{
public:
    OneLookPerFile();
    ~OneLookPerFile();
    OneLookPerFile(const OneLookPerFile &) = delete;
    OneLookPerFile &operator=(const OneLookPerFile &) = delete;

    // What the open passes of this thread have seen is forgotten; the next look is fresh.
    static void forget();
};

struct ResolvedFile
{
    QString path;  // no symbolic link left in it
    QString error; // set when there is no such file to write
};

// The file that a write to path changes: every symbolic link on the way, the last name's
// included, followed to the end of its chain. A missing file is its resolved folder and its name;
// a link that leads nowhere (or in a circle) and a missing folder are errors, for a write through
// them would create a file nobody asked for.
ResolvedFile resolvedFile(const QString &path);

} // namespace platform
