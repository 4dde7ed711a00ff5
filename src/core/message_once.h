#pragma once

#include <QString>

// Whether message is new for file: not shown for it since the file last changed. A theme whose
// override file cannot be read, or a store the console may not use, would otherwise put up a box
// for each of the many reads of it.
bool isNewFor(const QString &message, const QString &file);
