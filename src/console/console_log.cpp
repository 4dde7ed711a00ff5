#include "console/console_log.h"

Q_LOGGING_CATEGORY(lcConsole, "kesta.console")
