#pragma once

// The application icon with the number of chats holding unread messages: the
// badge background in the icon's top-right corner and the count centred on
// it, three points above the middle, in white 28-pixel Helvetica (or the
// nearest sans face). A count of 0 gives the plain icon.

#include <QImage>

namespace parley::shell {

class DockBadge
{
public:
    DockBadge() = delete;

    static QImage compose(const QImage &icon, const QImage &badgeBackground, int count);
    // Where the count's text goes on a badge of that size, for a text of that size.
    static QPointF textOrigin(const QSizeF &badge, const QSizeF &text);
};

} // namespace parley::shell
