#pragma once

#include <QLoggingCategory>

// The platform layer's messages: what the system refused (a lock, a socket, the sound server).
// Debug messages, such as the sound stream's state, are off unless the rules turn them on.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
