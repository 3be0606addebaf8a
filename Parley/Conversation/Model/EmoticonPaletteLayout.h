#pragma once

// Where the emoticon palette puts its category tabs and its grid cells. The
// rules are written bottom-up (y grows upwards from the view's bottom edge);
// toWidget() turns a rectangle into the widget's top-down coordinates.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class EmoticonPaletteLayout
{
public:
    struct Item
    {
        QString token;
        QSize imageSize; // of an image that loaded: tokens without one take no place
    };
    struct Cell
    {
        QString token;
        QRect image; // bottom-up
        QRect cell;  // the image with 2 points around it, bottom-up
    };

    static constexpr int kColumns = 8;
    static constexpr int kLeft = 10;
    static constexpr int kTopGap = 25; // from the view's top to the first row's bottom
    static constexpr int kGap = 7;

    // Rows of eight from (10, height - 25); a row ends after every eighth image
    // and the next starts that image's height plus 7 lower.
    static QList<Cell> cells(const QList<Item> &items, int viewHeight);

    // Tabs in their container: x 0, 87 by 25, the first at y 201, each next 25 lower.
    static QList<QRect> tabFrames(int count);

    static QRect toWidget(const QRect &bottomUp, int height)
    {
        return QRect(bottomUp.x(), height - bottomUp.y() - bottomUp.height(), bottomUp.width(), bottomUp.height());
    }
};
