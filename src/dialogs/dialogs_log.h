#pragma once

#include <QLoggingCategory>

// Warnings of the dialogs, for theme authors: a button command that did not start, a folder the
// select dialog could not list.
Q_DECLARE_LOGGING_CATEGORY(lcDialogs)
