#include "KCParleyCell.h"

#include "BuddyListModel.h"
#include "BuddyString.h"
#include "EmoticonManager.h"
#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "Log.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPixmapCache>

#include <cmath>

namespace parley {

namespace {

const QColor kTextColor(48, 48, 48);

PLBuddyPtr buddyAt(const QModelIndex &index)
{
    if (index.data(BuddyListModel::KindRole).toInt() != BuddyListModel::BuddyItem)
        return nullptr;
    return index.data(BuddyListModel::BuddyRole).value<PLBuddyPtr>();
}

QRect centredIn(const QRect &area, const QSize &size)
{
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

} // namespace

KCParleyCell::KCParleyCell(QObject *parent) : QStyledItemDelegate(parent), mFont(GetDefaultFontOfSize(11)) {}

QString KCParleyCell::iconNameForBuddy(const PLBuddy &buddy)
{
    if (buddy.buddyFlagBLBit())
        return buddy.status() == 0 ? QStringLiteral("16x16_offlineBlock") : QStringLiteral("16x16_onlineBlock");
    return BuddyString::buddyStatusImageName(buddy.status());
}

bool KCParleyCell::isTalkButtonEnabled(const PLBuddy *buddy) { return buddy && buddy->isTalkAvailable(); }

bool KCParleyCell::isOrButtonEnabled(const PLBuddy *buddy) { return buddy && !buddy->orchardCMN().isEmpty(); }

QString KCParleyCell::talkImageName(const PLBuddy *buddy)
{
    return isTalkButtonEnabled(buddy) ? QStringLiteral("talk_on(16x16)") : QStringLiteral("talk_off(16x16)");
}

QString KCParleyCell::orchardImageName(const PLBuddy *buddy)
{
    if (!isOrButtonEnabled(buddy))
        return QStringLiteral("home_off(16x16)");
    return buddy->isOrchardGuestBookHasNewPost() ? QStringLiteral("home_new(16x16)") : QStringLiteral("home_on(16x16)");
}

QPixmap KCParleyCell::image(const QString &name) const
{
    if (name.isEmpty())
        return {};
    auto found = mImages.constFind(name);
    if (found == mImages.constEnd())
        found = mImages.insert(name, ImageRegistry::pixmap(name));
    return found.value();
}

KCParleyCellGeometry KCParleyCell::geometryForRow(const QRect &rect, const PLBuddy *buddy) const
{
    KCParleyCellImageSizes sizes;
    if (buddy)
        sizes.icon = image(iconNameForBuddy(*buddy)).deviceIndependentSize().toSize();
    // The text leaves room for the enabled images, as they are the widest.
    sizes.talk = image(QStringLiteral("talk_on(16x16)")).deviceIndependentSize().toSize();
    sizes.orchard = image(QStringLiteral("home_on(16x16)")).deviceIndependentSize().toSize();
    return KCParleyCellLayout(rect, sizes, mLeftMargin, mIsShowButton);
}

const EmoticonManager &KCParleyCell::catalogue() const
{
    if (!mCatalogue)
        mCatalogue = &EmoticonManager::sharedManager();
    return *mCatalogue;
}

QPixmap KCParleyCell::emoticon(const QString &token) const
{
    const QString path = catalogue().emoticonFileNameForEmoticon(token);
    QPixmap pixmap;
    if (!path.isNull() && !QPixmapCache::find(path, &pixmap)) {
        pixmap = QPixmap(path);
        QPixmapCache::insert(path, pixmap);
    }
    return pixmap;
}

KCEmoticonLayout KCParleyCell::layoutText(const QString &text, const QRect &textRect) const
{
    const QFontMetricsF metrics(mFont);
    KCEmoticonLayoutMetrics measure;
    measure.textWidth = [&](const QString &s) { return metrics.horizontalAdvance(s); };
    // With emoticons off, or a token whose image is missing, a token is text.
    measure.imageSize = [&](const QString &piece) {
        return mIsShowEmoticon && catalogue().isEmoticon(piece) ? QSizeF(catalogue().emoticonImageSize(piece))
                                                                 : QSizeF();
    };
    // A name is one line: a line break in it shows as a space.
    const QString line = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QStringList pieces =
        mIsShowEmoticon ? EmoticonManager::emoticonParsingWithString(line, &catalogue()) : QStringList{line};
    return KCLayoutEmoticonPieces(pieces, QRectF(textRect), KCEmoticonLayoutOptions{}, measure);
}

void KCParleyCell::paintBuddy(QPainter *painter, const QStyleOptionViewItem &option, const PLBuddy &buddy,
                              const QString &text) const
{
    const QRect &rect = option.rect;
    const KCParleyCellGeometry g = geometryForRow(rect, &buddy);
    painter->drawPixmap(g.iconRect.topLeft(), image(iconNameForBuddy(buddy)));

    const QFontMetricsF metrics(mFont);
    const qreal baseline = rect.y() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    const bool highlighted = option.state & QStyle::State_Selected;
    painter->setFont(mFont);
    painter->setPen(highlighted ? QColor(Qt::white) : kTextColor);
    // Only the line's x positions are taken; the row centres its text and images.
    const KCEmoticonLayout line = layoutText(text, g.textRect);
    for (const KCEmoticonLayoutItem &item : line.items) {
        switch (item.kind) {
        case KCEmoticonLayoutItem::Kind::Image: {
            const QPixmap image = emoticon(item.text);
            const QSizeF size = item.rect.size();
            painter->drawPixmap(QRectF(QPointF(item.rect.left(), rect.y() + (rect.height() - size.height()) / 2), size),
                                image, QRectF(image.rect()));
            break;
        }
        case KCEmoticonLayoutItem::Kind::Text: painter->drawText(QPointF(item.rect.left(), baseline), item.text); break;
        case KCEmoticonLayoutItem::Kind::Ellipsis:
            for (int i = 0; i < item.text.size(); ++i)
                painter->drawText(QPointF(item.rect.left() + i * line.dotWidth, baseline), QStringLiteral("."));
            break;
        }
    }

    // A button is pressed where it is drawn: the positions are reported
    // only while the buttons show.
    if (mIsShowButton) {
        const QPixmap talk = image(talkImageName(&buddy));
        const QPixmap home = image(orchardImageName(&buddy));
        painter->drawPixmap(centredIn(g.talkRect, talk.deviceIndependentSize().toSize()), talk);
        painter->drawPixmap(centredIn(g.orchardRect, home.deviceIndependentSize().toSize()), home);
        mButtons->setTalkStartX(g.talkX, g.talkRect.width());
        mButtons->setOrStartX(g.orchardX, g.orchardRect.width());
    } else {
        mButtons->clearTalkButtonX();
        mButtons->clearOrButtonX();
    }
}

void KCParleyCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int kind = index.data(BuddyListModel::KindRole).toInt();
    if (kind == BuddyListModel::GroupItem) {
        QStyleOptionViewItem groupOption(option);
        initStyleOption(&groupOption, index);
        groupOption.font = mFont;
        groupOption.font.setBold(true);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &groupOption, painter, widget);
        return;
    }
    const PLBuddyPtr buddy = buddyAt(index);
    if (!buddy)
        return;
    QStyleOptionViewItem background(option);
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = {};
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);
    painter->save();
    painter->setClipRect(option.rect);
    paintBuddy(painter, option, *buddy, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize KCParleyCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
}

QWidget *KCParleyCell::createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Only group lines are edited, and only a group with an ID.
    if (index.data(BuddyListModel::KindRole).toInt() != BuddyListModel::GroupItem) {
        if (const PLBuddyPtr buddy = buddyAt(index))
            plLog(QStringLiteral("selected buddycell : %1").arg(buddy->name()));
        return nullptr;
    }
    const PLGroupPtr group = index.data(BuddyListModel::GroupRole).value<PLGroupPtr>();
    if (!group || group->groupID().isEmpty())
        return nullptr;
    auto *editor = new QLineEdit(parent);
    editor->setFont(mFont);
    editor->setFrame(false);
    (void)option;
    return editor;
}

void KCParleyCell::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The bare name, without the counts of the title.
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setText(index.data(Qt::EditRole).toString());
}

void KCParleyCell::talkAction(const QModelIndex &index)
{
    if (const PLBuddyPtr buddy = buddyAt(index); buddy && mDelegate)
        mDelegate->memoAction(buddy);
}

void KCParleyCell::orchardAction(const QModelIndex &index)
{
    if (const PLBuddyPtr buddy = buddyAt(index); buddy && mDelegate)
        mDelegate->orchardAction(buddy);
}

} // namespace parley
