#pragma once

#include <QLoggingCategory>

// What the platform layer tells the person running the console: the windowing system it runs
// on and what it lacks there; with debug messages on, the sound server's connection and stream.
// Information messages show by default.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
