#pragma once
// The font every page is drawn in and the dialog units it gives.
#include <QFont>

#include "platform/dialogs/front_end.h"

namespace platform {

// The desktop's own font family at the 8 points that the pages are laid out
// for: the templates name a font of another platform, and the match page
// places its buttons and labels in pixels sized for a font of that size.
QFont page_font();

// The average character width (over the 52 Latin letters, rounded) and the
// height of the font, in pixels.
BaseUnits base_units_of(const QFont& font);

}  // namespace platform
