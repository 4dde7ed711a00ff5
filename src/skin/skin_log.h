#pragma once

#include <QLoggingCategory>

// Warnings of the skin layer, for theme authors: each names the file, the section and the key.
Q_DECLARE_LOGGING_CATEGORY(lcSkin)
