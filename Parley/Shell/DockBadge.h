#pragma once

// The application icon with the number of chats holding unread messages: the
// badge background in the icon's top-right corner and the count centred on
// it, three points above the middle, in white 28-pixel Helvetica (or the
// nearest sans face), smaller when the number would not fit inside the
// badge's inset. A count of 0 gives the plain icon.

#include <QImage>

namespace parley::shell {

class DockBadge
{
public:
    DockBadge() = delete;

    // The count's text keeps this far from the badge's left and right edges.
    static constexpr int kTextInset = 5;

    static QImage compose(const QImage &icon, const QImage &badgeBackground, int count);
    // Where the count's text goes on a badge of that size, for a text of that size.
    static QPointF textOrigin(const QSizeF &badge, const QSizeF &text);
};

} // namespace parley::shell
