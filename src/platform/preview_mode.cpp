#include "platform/preview_mode.h"

namespace platform {
namespace {

bool previewing = false;

} // namespace

void setPreviewMode(bool on)
{
    previewing = on;
}

bool previewMode()
{
    return previewing;
}

} // namespace platform
