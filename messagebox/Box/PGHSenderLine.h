#pragma once

// What the memo pane's sender line shows: the link beside it ("chat" with the
// chat icon while the sender is online in the buddy-status list, else "memo"),
// the sender's status icon, whether both show (not for the user's own memos),
// and the texts of the sender and recipients fields.

#include "PGHStoreRecords.h"

#include <QVariantMap>

#include <optional>

namespace pigeonhole {

struct PGHSenderLine {
    QString linkTitleKey; // "memo" or "chat"
    QString linkImage;    // "icon_memo(16x16)" or "icon_chat(16x16)"
    QString statusImage;  // "16x16_normal.png", ...; empty when hidden
    bool showsStatusAndLink = false;
    int senderIndent = 0; // points the sender text moves right for the icon
    QString senderText;
    QString recipientsText;

    static PGHSenderLine of(const std::optional<PGHMemo> &memo, const QString &currentUserID,
                            const QVariantMap &buddyStatus);
    // The status number of a login ID in the list; 0 when absent or no number.
    static int statusOf(const QVariantMap &buddyStatus, const QString &loginID);
};

} // namespace pigeonhole
