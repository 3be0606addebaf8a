#pragma once

// The interface font of both applications: a Korean gothic face when one is
// installed (the texts are mostly Korean), else the system's interface font.

#include <QFont>

QFont GetDefaultFontOfSize(qreal pointSize);
