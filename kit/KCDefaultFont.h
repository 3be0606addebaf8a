#pragma once

// The interface font of both applications: a Korean gothic face when one is
// installed (the texts are mostly Korean), else the system's interface font.

#include <QFont>

QFont GetDefaultFontOfSize(qreal pointSize);

// The faces that messages and their markup name for text (the original
// platform's Korean gothic faces) are drawn in the interface face, which is
// what they mean; without this they fall to whatever the font configuration
// picks. Process-wide; safe to call more than once.
void KCSubstituteMessageFaces();
