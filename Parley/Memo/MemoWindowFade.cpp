#include "MemoWindowFade.h"

#include "Utils/KCUtilities.h"

#include <QSlider>

#include <algorithm>

namespace parley::MemoWindowFade {

QSlider *newSlider(QWidget *window)
{
    auto *slider = new QSlider(Qt::Horizontal, window);
    slider->setRange(10, 100);
    slider->setValue(100);
    slider->setMaximumWidth(80);
    slider->setToolTip(KCLocalizedString(QLatin1String("ToolTipFade")));
    slider->setAccessibleName(KCLocalizedString(QLatin1String("ToolTipFade")));
    return slider;
}

void apply(QWidget *window, double alpha) { window->setWindowOpacity(std::max(alpha, 0.1)); }

} // namespace parley::MemoWindowFade
