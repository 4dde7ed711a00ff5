#pragma once

// What a screen reader learns of the skinned elements, which Qt would otherwise present as
// nameless panes: an image button is a push button with its accessible name that can be
// pressed, a picture is an image (the theme preview is named after its theme), a skinned
// window is a window or, when it is a dialog, a dialog named by its caption. Lists, labels
// and text boxes are Qt's own and already speak for themselves. Installing twice does nothing.
namespace skin {

void installAccessibleElements();

} // namespace skin
