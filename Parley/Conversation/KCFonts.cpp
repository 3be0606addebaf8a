#include "KCFonts.h"

#include <QApplication>

QFont KCPaletteFont(int pixelSize)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    return font;
}
