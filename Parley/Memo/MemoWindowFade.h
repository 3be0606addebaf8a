#pragma once

// The fade slider both memo windows carry, and the opacity it sets: from a
// tenth (also for values asked below it) up to opaque.

class QSlider;
class QWidget;

namespace parley::MemoWindowFade {

// The slider, at opaque; the window connects it to its fade action.
QSlider *newSlider(QWidget *window);
void apply(QWidget *window, double alpha);

} // namespace parley::MemoWindowFade
