#pragma once

// Colours derived from others for the skins: lighter and accent variants, the
// tool-tip colours and a disabled variant.

#include <QColor>

namespace KCColor {

// Brightness b <= 0.4 becomes 0.6; 0.4 < b < 0.9 becomes b + 0.3b + 0.1; from
// 0.9 up it becomes 1.0 and the saturation s becomes max(0.5s - 0.1, 0) when
// s > 0.12, else s + 0.25. Hue and alpha are kept.
QColor lighterColor(const QColor &color);
// Full saturation and half the brightness of the colour; a colour of
// brightness 0.3 or less takes the hue and alpha of the highlight colour at
// full brightness instead.
QColor accentColor(const QColor &color);
// Hue 0.2, saturation 0.2, full brightness.
QColor lightYellowColor();
QColor toolTipColor();
QColor toolTipTextColor();
// The colour at half its alpha.
QColor disabledColor(const QColor &color);

} // namespace KCColor
