#pragma once
// Components kept as component images (framework/core/ComponentImage.h), for the
// settings manager, which stores the image as a byte stream.

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/gui/Control.h"

namespace plomaret {

// Writes the image of component at the stream's position; its root is the
// component's owner (the component itself when it has none). Nothing for nullptr.
void WriteComponentImage(TComponent* component, TStream& stream);

// Replaces control by the component in the image at the stream's position: the new
// one gets the control's owner and parent, and the old control and the child
// controls the owner owns are freed. Returns the new component, or nullptr when
// nothing changed: no control, a control without owner (the new component would
// have nobody to own it), or an image that could not be read or holds other than
// one component. Failures are not passed on; the old controls keep their names.
TComponent* ReadComponentImage(TStream& stream, TControl* control);

}  // namespace plomaret
