#pragma once

// The title and the small tool buttons along the top edge of a palette
// window, the same on every palette.

#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// The palette's bold title at its top left, `width` wide and `height` high.
QLabel *KCAddPaletteTitle(QWidget *palette, const QString &titleKey, int width, int height);

// A flat 20x20 button showing `symbol`, its tool tip and accessible name
// from `toolTipKey`, placed `rightInset` points from the palette's right edge.
QToolButton *KCAddPaletteButton(QWidget *palette, const QString &symbol, const QString &toolTipKey, int rightInset);
