#pragma once

#include <QLoggingCategory>

// Warnings of the console, for theme authors: a preview that does not load, a command that does
// not open, a choice that could not be stored.
Q_DECLARE_LOGGING_CATEGORY(lcConsole)
