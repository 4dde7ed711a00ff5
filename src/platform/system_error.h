#pragma once

#include <QString>

#include <cerrno>
#include <cstring>

namespace platform {

// The system's words for an error number, as the C library gives them in the user's language.
[[nodiscard]] inline QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace platform
