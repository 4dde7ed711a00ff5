#include "dialogs/dialogs_log.h"

Q_LOGGING_CATEGORY(lcDialogs, "kesta.dialogs")
