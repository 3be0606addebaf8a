#pragma once

// The emoticon palette's grid: one category's pictures in rows of eight
// (EmoticonPaletteLayout), the cell under the mouse framed, the token as a
// cell's tool tip; a click in a cell (or Return on the framed one) chooses
// its token. Tokens whose picture does not load take no place.

#include "KCEmoticonRect.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

class EmoticonPaletteSource;
class KCEmoticonPaletteView;

class EmoticonPaletteViewDelegate
{
public:
    virtual ~EmoticonPaletteViewDelegate() = default;
    virtual void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) = 0;
};

class KCEmoticonPaletteView : public QWidget
{
    Q_OBJECT
public:
    struct Cell
    {
        QString token;
        QRect image; // in the widget
        KCEmoticonRect cell;
        QImage picture;
    };

    explicit KCEmoticonPaletteView(const EmoticonPaletteSource *source, QWidget *parent = nullptr);

    void setDelegate(EmoticonPaletteViewDelegate *delegate) { mDelegate = delegate; }
    // Shows a category's pictures; a null name does nothing.
    void setEmoticonCategory(const QString &category);
    QString emoticonCategory() const { return mCategory; }

    const QList<Cell> &cells() const { return mCells; }
    // The cell under the mouse (or chosen with the keys); -1 when none.
    int trackingTag() const { return mTrackingTag; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutCells();
    int cellAt(const QPoint &point) const;
    void setTrackingTag(int tag);

    const EmoticonPaletteSource *mSource;
    EmoticonPaletteViewDelegate *mDelegate = nullptr; // not owned
    QString mCategory;
    QStringList mEmoticonList;
    QList<QImage> mEmoticonImages; // parallel to mEmoticonList; null when not loaded
    QList<Cell> mCells;
    int mTrackingTag = -1;
};
