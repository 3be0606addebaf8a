#pragma once

// The animicon palette's grid: one category's items 25 to a page (five rows
// of five cells with thumbnail and name) and a centred line of page links,
// "[Previous] [1] [2] ... [Next]". Thumbnails arrive one at a time from the
// category and are drawn as they come; until then a cell shows the loading
// picture. A click on a cell (or Return on the framed one) reports the item.

#include "AnimiconCategory.h"

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

class KCAnimiconPaletteView;

class AnimiconPaletteViewDelegate
{
public:
    virtual ~AnimiconPaletteViewDelegate() = default;
    // The item chosen: its play page, thumbnail address, name, category ID
    // and three-character item ID.
    virtual void animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *view, const QString &animiconUrl,
                                                      const QString &animiconThumbUrl, const QString &animiconName,
                                                      const QString &categoryID, const QString &animiconID) = 0;
};

class KCAnimiconPaletteView : public QWidget, public AnimiconCategoryDelegate
{
    Q_OBJECT
public:
    // What is under the mouse: nothing, an item (by its index in the
    // category) or a page link (by its label).
    struct Tag
    {
        enum Kind { None, Item, PageLink } kind = None;
        int index = -1;
        QString label;
        bool operator==(const Tag &other) const = default;
    };

    explicit KCAnimiconPaletteView(QWidget *parent = nullptr);
    ~KCAnimiconPaletteView() override;

    void setDelegate(AnimiconPaletteViewDelegate *delegate) { mDelegate = delegate; }
    // Shows another category (the old one stops loading); null is ignored.
    void setCategory(AnimiconCategory *category);
    AnimiconCategory *category() const { return mCategory; }

    // The first page of the category, its list fetched first when it changed.
    void updateView();
    void updateViewWithPageNum(int page);

    int pageNum() const { return mAnimiconPageNum; }
    int pageCount() const { return mAnimiconPageCount; }
    int numStart() const { return mAnimiconNumStart; }
    int numEnd() const { return mAnimiconNumEnd; }
    Tag trackingTag() const { return mTrackingTag; }

    // The page links, and where they and the cells are (widget coordinates).
    QStringList pageLabels() const;
    QList<QRect> pageLabelRects() const;
    QRect cellRect(int slot) const;
    // What is at a point of the view.
    Tag tagAt(const QPoint &point) const;

    QSize sizeHint() const override;

    // AnimiconCategoryDelegate: a thumbnail arrived.
    void didloadAnimicon(const QString &animiconID, const QImage &thumbImage) override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showPage(int page);
    void activate(const Tag &tag);
    QFont linkFont() const;
    QString previousLabel() const;
    QString nextLabel() const;

    bool mIsLockDraw = false;
    int mAnimiconPageNum = 0;
    int mAnimiconPageCount = 1;
    int mAnimiconNumStart = 0;
    int mAnimiconNumEnd = -1;
    AnimiconPaletteViewDelegate *mDelegate = nullptr; // not owned
    QPointer<AnimiconCategory> mCategory;
    QMetaObject::Connection mListConnection;
    Tag mTrackingTag;
};
