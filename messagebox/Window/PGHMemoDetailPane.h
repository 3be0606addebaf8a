#pragma once

// The memo tab's detail pane: subject, the sender line with the sender's
// status icon and a link (chat while the sender is online, else memo), the
// recipients, and the memo text.

#include "PGHSenderLine.h"
#include "PGHStoreRecords.h"

#include <QVariantMap>
#include <QWidget>

#include <optional>

class QLabel;

namespace pigeonhole {

class KCLinkButton;
class PGHBodyView;

class PGHMemoDetailPane : public QWidget
{
    Q_OBJECT

public:
    explicit PGHMemoDetailPane(QWidget *parent = nullptr);

    // The memo on show (id 0: none), the signed-in user and the buddies' statuses.
    void setMessageSet(const PGHMemo &memo, const QString &currentUserID, const QVariantMap &buddyStatus);
    // A new buddy-status list: only the sender line changes.
    void setBuddyStatus(const QString &currentUserID, const QVariantMap &buddyStatus);
    const std::optional<PGHMemo> &currentMessageSet() const { return mMemo; }
    const PGHSenderLine &senderLine() const { return mLine; }

    QLabel *subjectField() const { return mSubject; }
    QLabel *senderField() const { return mSender; }
    QLabel *recipientsField() const { return mRecipients; }
    QLabel *statusIcon() const { return mStatusIcon; }
    KCLinkButton *linkButton() const { return mLink; }
    PGHBodyView *bodyView() const { return mBody; }

Q_SIGNALS:
    // The link beside the sender line: "chat" or "memo", with the sender's ID.
    void linkClicked(const QString &kind, const QString &senderID);

private:
    std::optional<PGHMemo> mMemo;
    PGHSenderLine mLine;
    QLabel *mSubject;
    QLabel *mSenderTag;
    QLabel *mStatusIcon;
    QLabel *mSender;
    KCLinkButton *mLink;
    QLabel *mRecipientsTag;
    QLabel *mRecipients;
    PGHBodyView *mBody;
};

} // namespace pigeonhole
