// modSkin: the program's skin, applied to every window at its load while the switch is on.
#pragma once

class QWidget;

namespace tally::modSkin {

// Recolours the window's controls by kind.
void ApplySkin(QWidget* window);

} // namespace tally::modSkin
