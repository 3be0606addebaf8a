#include "KCFonts.h"

#include "KCDefaultFont.h"

QFont KCPaletteFont(int pixelSize)
{
    // The palettes' sizes are points of a 72-dpi screen: pixels here.
    QFont font = GetDefaultFontOfSize(0);
    font.setPixelSize(pixelSize);
    return font;
}
