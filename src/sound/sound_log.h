#pragma once

#include <QLoggingCategory>

// Warnings about theme sounds, for theme authors: a file that does not decode, and why.
Q_DECLARE_LOGGING_CATEGORY(lcSound)
