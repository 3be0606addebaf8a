#pragma once

// The palettes' text font: the kit's interface font (GetDefaultFontOfSize)
// at a size in pixels, as the palettes' cells are measured.

#include <QFont>

QFont KCPaletteFont(int pixelSize);
