#pragma once

// One member in the chat window's members menu: the status icon and the
// display string drawn with its emoticons, as a menu item. The menu cannot
// draw emoticons in an item's title, so the item is a widget action holding
// this row; the action keeps the plain title for the keyboard and readers.

#include <QWidgetAction>

namespace parley {

class ChatMemberMenuItem final : public QWidgetAction
{
    Q_OBJECT
public:
    ChatMemberMenuItem(const QPixmap &statusImage, const QString &displayString, QObject *parent);

    QString displayString() const { return mDisplayString; }

protected:
    QWidget *createWidget(QWidget *parent) override;

private:
    QPixmap mStatusImage;
    QString mDisplayString;
};

} // namespace parley
