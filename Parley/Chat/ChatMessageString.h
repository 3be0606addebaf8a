#pragma once

// The chat message string: every chat line on the wire is four fields joined
// by a TAB: font name, font colour string, font style (empty when we send)
// and the text. A receiver takes the last field as the text; with three
// fields or fewer the font fields are empty.

#include <QString>

namespace parley {

struct ChatMessageString
{
    QString fontName;
    QString fontColor;
    QString fontStyle;
    QString text;

    // The four fields joined by TABs. A TAB inside a field would move the
    // fields after it, so it goes out as a space.
    static QString compose(const QString &fontName, const QString &fontColor, const QString &fontStyle,
                           const QString &text);
    static ChatMessageString parse(const QString &message);
};

} // namespace parley
