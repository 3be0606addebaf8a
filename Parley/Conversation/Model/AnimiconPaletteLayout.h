#pragma once

// The animicon palette's pages, cells, page links and tabs. The rules are
// written bottom-up (y grows upwards from the bottom edge); toWidget() turns
// a rectangle into the widget's top-down coordinates.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class AnimiconPaletteLayout
{
public:
    static constexpr int kPerPage = 25;
    static constexpr int kColumns = 5;
    static constexpr int kCellSize = 34;
    static constexpr int kStep = 39;
    static constexpr int kNameHeight = 14;
    static constexpr int kLinkGap = 4;

    // count / 25 + 1: a count that is a multiple of 25 ends with an empty
    // page, and an empty category has one page.
    static int pageCount(int itemCount);
    static int firstIndex(int page) { return page * kPerPage; }
    // The last index shown on a page; below firstIndex() when the page is empty.
    static int lastIndex(int page, int itemCount);

    // The cell of the n-th item on a page, bottom-up: five columns from
    // x 10, the first row's bottom 39 below the top (34 + 5).
    static QRect cellRect(int slot, const QSize &bounds);

    // "[Previous]", "[1]" ... "[count]", "[Next]".
    static QStringList pageLabels(int pageCount, const QString &previous, const QString &next);
    // The labels on one line 5 above the bottom, centred, 4 apart.
    static QList<QRect> pageLabelRects(const QList<QSize> &labelSizes, const QSize &bounds);
    // The page a label leads to from the current one; nothing for Previous on
    // the first page, Next on the last, or an unknown label.
    static std::optional<int> targetPage(const QString &label, int currentPage, int pageCount,
                                         const QString &previous, const QString &next);

    struct Tab
    {
        int categoryIndex;
        QRect frame; // bottom-up in the tab box
        bool selected; // the first category's tab starts selected
    };
    // One tab per visible category, 60 by 25 at x 0, the first at y 202 and
    // each next 25 lower; hidden categories get none and take no place.
    static QList<Tab> tabs(const QList<bool> &visible);

    static QRect toWidget(const QRect &bottomUp, int height)
    {
        return QRect(bottomUp.x(), height - bottomUp.y() - bottomUp.height(), bottomUp.width(), bottomUp.height());
    }
};
