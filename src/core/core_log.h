#pragma once

#include <QLoggingCategory>

// Warnings of the core layer: each failed read or write of an INI file or of the settings store,
// naming the file, section and key and why (never the value: it may be a password).
Q_DECLARE_LOGGING_CATEGORY(lcCore)
