#include "ChatConversation.h"

#include "ChatRoomServices.h"
#include "ChatText.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Utils/KCUtilities.h"

#include <QFile>
#include <QSet>

#include <sys/stat.h>

namespace parley {

namespace {

const QString kVelaID = QStringLiteral("velaID");

PLBuddyPtr buddyFor(const QString &velaID)
{
    return velaID.isEmpty() ? nullptr : PLBuddyManager::sharedManager().buddyForID(velaID);
}

void appendLine(QString &text, const QString &line)
{
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    text += line;
}

} // namespace

QVariantMap ChatConversation::buddyDictForID(const QString &velaID) const
{
    if (const PLBuddyPtr buddy = buddyFor(velaID))
        return {{QStringLiteral("name"), buddy->name()},
                {kVelaID, buddy->velaID()},
                {QStringLiteral("nickName"), buddy->nickName().isNull() ? QString(QLatin1String("")) : buddy->nickName()}};
    for (const QVariant &record : mServices.userInfosInSession(mSessionKey))
        if (record.toMap().value(kVelaID).toString() == velaID)
            return record.toMap();
    return {};
}

QString ChatConversation::displayStringForMember(const QString &velaID) const
{
    const QVariantMap dict = buddyDictForID(velaID);
    if (!dict.isEmpty()) {
        const QString display = BuddyString::buddyStringWithBuddyDict(dict);
        if (!display.isEmpty())
            return display;
    }
    const QString own = PLMyInfoManager::sharedManager().velaID();
    if (!velaID.isEmpty() && velaID == own)
        return BuddyString::buddyStringForMyInfo();
    return velaID;
}

QStringList ChatConversation::buddyIDList() const
{
    QStringList ids;
    for (const QVariant &record : mServices.userInfosInSession(mSessionKey))
        ids.append(record.toMap().value(kVelaID).toString());
    return ids;
}

int ChatConversation::buddyCount() const { return mLastBuddyID.isEmpty() ? int(buddyIDList().size()) : 1; }

QVariantMap ChatConversation::buddyStatusList() const
{
    const QStringList ids = mLastBuddyID.isEmpty() ? buddyIDList() : QStringList{mLastBuddyID};
    QStringList blocked;
    QStringList busy;
    for (const QString &id : ids) {
        const PLBuddyPtr buddy = buddyFor(id);
        if (!buddy)
            continue;
        if (buddy->buddyFlagBLBit())
            blocked.append(id);
        else if (buddy->status() != 1)
            busy.append(id);
    }
    return {{QStringLiteral("blockedBuddies"), blocked}, {QStringLiteral("busyBuddies"), busy}};
}

void ChatConversation::updateAbsentBuddyStatusView()
{
    ChatBanner banner;
    const QVariantMap lists = buddyStatusList();
    const QStringList blocked = lists.value(QStringLiteral("blockedBuddies")).toStringList();
    const QStringList busy = lists.value(QStringLiteral("busyBuddies")).toStringList();
    const int count = buddyCount();

    if (blocked.size() == 1) {
        const QString display = BuddyString::buddyStringWithBuddyDict(buddyDictForID(blocked.first()));
        if (count == 1) {
            appendLine(banner.text, ChatText::localized("ChatBlockedMessageForOneBuddy", {display}));
            banner.inputLocked = true;
        } else if (count > 1) {
            appendLine(banner.text, ChatText::localized("ChatBlockedMessageAceeptForOneBuddy", {display}));
        }
    } else if (blocked.size() > 1) {
        appendLine(banner.text, KCLocalizedString(QStringLiteral("ChatBlockedMessageAceeptForBuddies")));
    }

    if (busy.size() == 1) {
        const PLBuddyPtr buddy = buddyFor(busy.first());
        const QString display = BuddyString::buddyStringWithBuddyDict(buddyDictForID(busy.first()));
        appendLine(banner.text, ChatText::localized("ChatAbsentMessageForOneBuddy",
                                                    {display, BuddyString::buddyStatusStringWithStatus(buddy->status())}));
        if (buddy->status() == 0 && count == 1) {
            banner.inputLocked = true;
            banner.toolbarDisabled = true;
        }
    } else if (busy.size() > 1) {
        appendLine(banner.text, KCLocalizedString(QStringLiteral("ChatAbsentMessageForBuddies")));
    }

    const int myStatus = PLMyInfoManager::sharedManager().status();
    if (myStatus != 1) {
        appendLine(banner.text,
                   ChatText::localized("ChatAbsentMessageForMe", {BuddyString::buddyStatusStringWithStatus(myStatus)}));
        if (myStatus == 0)
            banner.inputLocked = true;
    }
    mBanner = banner;
    mView.showBanner(banner);
}

bool ChatConversation::selectBuddy(const QString &velaID)
{
    if (velaID.isEmpty() || (!buddyIDList().contains(velaID) && velaID != mLastBuddyID))
        return false;
    setSelectedBuddyID(velaID);
    return true;
}

QStringList ChatConversation::dragIDList(const QVariantList &entries)
{
    QStringList ids;
    for (const QVariant &entry : entries) {
        const QString id = entry.toMap().value(kVelaID).toString();
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

bool ChatConversation::acceptsBuddies(const QStringList &buddyIDs) const
{
    const QStringList members = buddyIDList();
    for (const QString &id : buddyIDs) {
        const PLBuddyPtr buddy = buddyFor(id);
        if (!members.contains(id) && id != mLastBuddyID && buddy && buddy->status() != 0)
            return true;
    }
    return false;
}

QStringList ChatConversation::invitees(const QStringList &chosen) const
{
    const QStringList members = buddyIDList();
    QStringList out;
    for (const QString &id : chosen)
        if (!id.isEmpty() && !members.contains(id) && !out.contains(id))
            out.append(id);
    if (members.isEmpty()) {
        const QString waited = mLastBuddyID.isEmpty() ? mSelectedBuddyID : mLastBuddyID;
        if (!waited.isEmpty() && !out.contains(waited))
            out.append(waited);
    }
    return out;
}

void ChatConversation::inviteOrReconnect(const QStringList &buddyIDs)
{
    if (buddyIDs.isEmpty())
        return;
    if (mIsSessionDisconnected)
        chatSessionReconnect(buddyIDs);
    else
        mServices.inviteBuddies(buddyIDs, mSessionKey);
}

void ChatConversation::buddyInvitePanelDidEnd(const QStringList &buddyIDs)
{
    inviteOrReconnect(invitees(buddyIDs));
}

void ChatConversation::dropBuddies(const QStringList &buddyIDs)
{
    if (mBanner.inputLocked)
        return;
    const QStringList members = buddyIDList();
    QStringList chosen;
    for (const QString &id : buddyIDs) {
        const PLBuddyPtr buddy = buddyFor(id);
        if (!members.contains(id) && id != mLastBuddyID && buddy && buddy->status() != 0)
            chosen.append(id);
    }
    if (chosen.isEmpty())
        return;
    inviteOrReconnect(invitees(chosen));
}

void ChatConversation::chatSessionReconnect(const QStringList &buddyIDs)
{
    if (buddyIDs.isEmpty())
        return;
    mIsReopening = mServices.reopenRoom(buddyIDs, mSessionKey);
}

bool ChatConversation::acceptsFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return false;
    for (const QString &path : paths) {
        // stat() follows links: a link to a file is a file, a FIFO, a socket
        // or a device is not.
        struct stat info {};
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
    }
    return true;
}

} // namespace parley
