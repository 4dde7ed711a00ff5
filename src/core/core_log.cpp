#include "core/core_log.h"

Q_LOGGING_CATEGORY(lcCore, "kesta.core")
