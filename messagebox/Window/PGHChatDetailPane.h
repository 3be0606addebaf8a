#pragma once

// The chat tab's detail pane: the log's title (its second line), partners,
// date, and the log text.

#include "PGHStoreRecords.h"

#include <QWidget>

class QLabel;

namespace pigeonhole {

class PGHBodyView;

class PGHChatDetailPane : public QWidget
{
    Q_OBJECT

public:
    explicit PGHChatDetailPane(QWidget *parent = nullptr);

    // The log on show (id 0: none).
    void setChatContents(const PGHChat &chat);

    QLabel *titleField() const { return mTitle; }
    QLabel *chatUserField() const { return mChatUser; }
    QLabel *dateField() const { return mDate; }
    PGHBodyView *bodyView() const { return mBody; }

private:
    QLabel *mTitle;
    QLabel *mChatUserTag;
    QLabel *mChatUser;
    QLabel *mDateTag;
    QLabel *mDate;
    PGHBodyView *mBody;
};

} // namespace pigeonhole
