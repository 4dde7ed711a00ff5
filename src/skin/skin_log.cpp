#include "skin/skin_log.h"

Q_LOGGING_CATEGORY(lcSkin, "kesta.skin")
