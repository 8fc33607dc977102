#pragma once
// The palette the system asks for now: high contrast on or off, and its colours.

#include "ui/palette.h"

namespace zorvo::ui {

/// Reads the high-contrast switch and the system colours. A system that cannot say whether high
/// contrast is on is taken to have it off.
Palette readSystemPalette() noexcept;

} // namespace zorvo::ui
