#pragma once

// The console previewing a theme for its author: it runs every handler as it would, but no
// profile or settings-store write reaches the disk (each is told in kesta.platform as what it
// would have written, and later reads of this process see it), and no single-instance claim is
// taken, so a preview runs beside the real console.
namespace platform {

void setPreviewMode(bool on);
[[nodiscard]] bool previewMode();

} // namespace platform
