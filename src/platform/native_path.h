#pragma once

#include <QString>

namespace platform {

// Paths in the shared stores use backslashes ("\Themes\Blue\") and the Windows habit of
// ignoring letter case in file names. nativePath() turns such a path into the path of the file
// on this disk: both "\" and "/" separate components, and a component that does not exist as
// written is matched without regard to case against the names in its folder (the first match in
// name order wins). Components that match nothing are kept as written, so the result is also the
// right name for a file about to be created.
QString nativePath(const QString &storedPath);

} // namespace platform
