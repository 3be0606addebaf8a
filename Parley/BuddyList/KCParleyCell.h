#pragma once

// The one delegate that draws every line of a buddy list: a group line as its
// title (editable in place), a buddy line by hand: the status icon (or a
// blocked icon), the display string with emoticon tokens as images, cut short
// with dots, and at the right the memo and home buttons. The delegate does
// not take clicks itself: the list asks it where its buttons are (the row
// buttons it reports while drawing) and calls its actions, which it hands to
// its own delegate.

#include "BuddyManagement/PLBuddy.h"
#include "BuddyRowButtons.h"
#include "KCEmoticonLayout.h"
#include "KCParleyCellLayout.h"

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

class EmoticonManager;

namespace parley {

// Receives the row buttons' actions; both do nothing unless overridden.
class KCParleyCellDelegate
{
public:
    virtual ~KCParleyCellDelegate() = default;
    virtual void memoAction(const PLBuddyPtr &buddy) { (void)buddy; }
    virtual void orchardAction(const PLBuddyPtr &buddy) { (void)buddy; }
};

class KCParleyCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 20;

    explicit KCParleyCell(QObject *parent = nullptr);

    void setDelegate(KCParleyCellDelegate *delegate) { mDelegate = delegate; }
    KCParleyCellDelegate *delegate() const { return mDelegate; }
    void setDisplayEmoticon(bool show) { mIsShowEmoticon = show; }
    bool isShowEmoticon() const { return mIsShowEmoticon; }
    void setDisplayButtons(bool show) { mIsShowButton = show; }
    bool isShowButton() const { return mIsShowButton; }
    void setLeftMargin(int margin) { mLeftMargin = margin; }
    int leftMargin() const { return mLeftMargin; }
    void setFont(const QFont &font) { mFont = font; }
    QFont font() const { return mFont; }
    // The catalogue whose tokens are drawn as images (the application's by
    // default; not owned).
    void setEmoticonCatalogue(const EmoticonManager *catalogue) { mCatalogue = catalogue; }

    // Where this list keeps its button positions (the cell's own by default;
    // not owned).
    void setButtons(BuddyRowButtons *buttons) { mButtons = buttons ? buttons : &mOwnButtons; }
    BuddyRowButtons &buttons() const { return *mButtons; }

    // The icon of a buddy line: a blocked icon for a blocked buddy, else its status image.
    static QString iconNameForBuddy(const PLBuddy &buddy);
    static bool isTalkButtonEnabled(const PLBuddy *buddy);
    static bool isOrButtonEnabled(const PLBuddy *buddy);
    static QString talkImageName(const PLBuddy *buddy);
    static QString orchardImageName(const PLBuddy *buddy);

    // The rectangles of a buddy row drawn in `rect` with this buddy's icon.
    KCParleyCellGeometry geometryForRow(const QRect &rect, const PLBuddy *buddy) const;
    // The display string laid out on one line in `textRect`, as the emoticon
    // label lays it out.
    KCEmoticonLayout layoutText(const QString &text, const QRect &textRect) const;

    // The row buttons' actions for the buddy line at `index` (nothing for another line).
    void talkAction(const QModelIndex &index);
    void orchardAction(const QModelIndex &index);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

private:
    QPixmap image(const QString &name) const;
    const EmoticonManager &catalogue() const;
    QPixmap emoticon(const QString &token) const;
    void paintBuddy(QPainter *painter, const QStyleOptionViewItem &option, const PLBuddy &buddy,
                    const QString &text) const;

    KCParleyCellDelegate *mDelegate = nullptr;
    bool mIsShowEmoticon = true;
    bool mIsShowButton = false;
    int mLeftMargin = 0;
    QFont mFont;
    mutable const EmoticonManager *mCatalogue = nullptr;
    BuddyRowButtons mOwnButtons;
    BuddyRowButtons *mButtons = &mOwnButtons;
    // Images are looked up once and kept.
    mutable QHash<QString, QPixmap> mImages;
};

} // namespace parley
