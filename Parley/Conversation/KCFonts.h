#pragma once

// The palettes' text font: the kit's default font at the size the palettes ask for.

#include <QFont>

QFont KCPaletteFont(int pixelSize);
