#pragma once

// A label that draws a text with its emoticon tokens as images, on one line
// ending in dots or over several lines (KCEmoticonLayout.h), and says whether
// the text fitted. Used for the nickname lines of the main and chat windows
// and the two text lines of pop-up notices.

#include "KCEmoticonLayout.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

class EmoticonManager;
class KCEmoticonView;

class KCEmoticonViewDelegate
{
public:
    virtual ~KCEmoticonViewDelegate() = default;
    virtual void emoticonViewClicked(KCEmoticonView *view) { (void)view; }
};

class KCEmoticonView : public QWidget
{
    Q_OBJECT
public:
    // `catalogue`: the emoticons to draw (the shared catalogue when null).
    explicit KCEmoticonView(QWidget *parent = nullptr, const EmoticonManager *catalogue = nullptr);

    // Keeps the text, lays it out in the view's bounds to update
    // displaySize() and redraws; true when the text did not fit.
    bool setEmoticonString(const QString &text);
    QString emoticonString() const { return mEmoticonString; }
    // The size the last layout used (KCEmoticonLayout.h).
    QSizeF displaySize() const { return mDisplaySize; }
    static constexpr int lineHeight() { return int(kKCEmoticonLineHeight); }

    // Wraps over several lines; the lines then start 7 in from the left.
    void setMultiLine(bool multiLine);
    bool isMultiLine() const { return mIsMultiline; }
    // Whether a line feed starts a new line in multi-line mode (default true).
    void setAllowEnter(bool allowEnter);
    void setTextColor(const QColor &color);
    // The default font of that size.
    void setTextSize(qreal pointSize);
    void setBackgroundColor(const QColor &color);
    void setDrawBackground(bool draw);
    void setBorder(bool border);
    // Kept for the owner.
    void setAutoResizing(bool autoResizing) { mIsAutoResizing = autoResizing; }
    bool isAutoResizing() const { return mIsAutoResizing; }

    QColor textColor() const { return mTextColor; }
    QFont textFont() const { return mFont; }
    qreal leftMargin() const { return mLeftMargin; }

    // Not owned; the owner clears it before it goes.
    void setDelegate(KCEmoticonViewDelegate *delegate) { mDelegate = delegate; }
    KCEmoticonViewDelegate *delegate() const { return mDelegate; }
    // Kept for the owner; the view asks it nothing.
    void setDataSource(QObject *dataSource) { mDataSource = dataSource; }
    QObject *dataSource() const { return mDataSource; }

    // The layout of the text in a rectangle, with this view's font and images.
    KCEmoticonLayout layoutInRect(const QRectF &frame) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Over several lines the height follows the width: as many lines as the
    // text takes at that width.
    bool hasHeightForWidth() const override { return mIsMultiline; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const EmoticonManager &catalogue() const;

    const EmoticonManager *mCatalogue = nullptr;
    KCEmoticonViewDelegate *mDelegate = nullptr;
    QPointer<QObject> mDataSource;
    QString mEmoticonString;
    QStringList mEmoticons;
    QFont mFont;
    QColor mTextColor = Qt::black;
    QColor mBackgroundColor = Qt::white;
    QSizeF mDisplaySize;
    qreal mLeftMargin = 0;
    bool mIsMultiline = false;
    bool mIsAutoResizing = false;
    bool mIsDrawBackground = false;
    bool mIsBorder = false;
    bool mIsAllowEnter = true;
};
