// The account session's reactions that keep the buddy list and the groups in
// step with the server: the group and buddy lines of the sign-in, the replies
// to the buddy and group operations (matched through the job queue) and the
// changes the server reports on its own (tid "0").
#include "PLParleySession.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationNames.h"
#include "PLDPLSession.h"
#include "PLDPSession.h"
#include "PLShellServices.h"
#include "Utils/PrefsManager.h"

namespace parley {

namespace {

QString text(const QVariantMap &map, const char *key) { return map.value(QLatin1String(key)).toString(); }
bool has(const QVariantMap &map, const char *key) { return map.contains(QLatin1String(key)); }
bool isServerStarted(const QVariantMap &info) { return text(info, "tid") == QLatin1String("0"); }

} // namespace

void PLParleySession::dpSessionGroupLineReceived(PLDPSession *session, const PLGroupInfo &line)
{
    PL_GUARD_OBJECT(session);
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
    switch (line.type) {
    case PLGroupInfo::Buddy: {
        buddies.reserveBuddies(line.lineCount);
        const PLBuddyPtr buddy = buddies.createBuddyForCMN(line.buddyCMN);
        const PLGroupPtr group = buddies.groupForID(line.groupID);
        PL_GUARD_OBJECT(buddy && group);
        group->addBuddy(buddy);
        if (line.groupID.constData() != group->groupID().constData() && line.groupID == group->groupID()) {
            // The record shares the group's copy of its ID rather than the
            // line's, which the session reuses for the next line.
            PLGroupInfo record = line;
            record.groupID = group->groupID();
            cache.saveInfo(std::move(record));
        } else {
            cache.saveInfo(line);
        }
        break;
    }
    case PLGroupInfo::Group: {
        const PLGroupPtr group = buddies.createGroupForID(line.groupID);
        PL_GUARD_OBJECT(group);
        group->setGroupName(line.groupName);
        cache.saveInfo(line);
        break;
    }
    case PLGroupInfo::Cache:
        if (line.willDownloadGroup) {
            post(notifications::kGroupInfoWillDownload);
            buddies.reset();
            cache.beginSave(line.toVariantMap());
        } else {
            // The cached list is current. A download still open is not that
            // list: it is dropped, with what it filled in, and the list as
            // stored is replayed.
            if (cache.mSaveFlag()) {
                cache.abandonSave();
                buddies.reset();
            }
            replayGroupCache(session);
        }
        // Group changes carry the number the client holds: keep the list's
        // number, else the first change after sign-in would claim number 0.
        buddies.setGroupCacheNo(qint32(line.groupCacheNo));
        break;
    case PLGroupInfo::Unknown:
        plLog(QStringLiteral("Unknown type"));
        return;
    }
    if (line.isLast) {
        cache.endSave();
        post(notifications::kGroupInfoDidDownloaded);
    }
}

void PLParleySession::replayGroupCache(PLDPSession *session)
{
    // Line 0 is the cache line itself. With no recording open the replayed
    // lines are saved nowhere, so the list does not change under the loop;
    // a stored line of any other kind than group or buddy (a damaged file)
    // is skipped, for it would open a recording or replay again.
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
    PL_GUARD_FLAG(!cache.mSaveFlag());
    const qsizetype end = cache.count();
    for (qsizetype i = 1; i < end; ++i) {
        const std::optional<PLGroupInfo> stored = cache.lineAtIndex(i);
        if (!stored) {
            plLogNil(__FILE__, __LINE__);
            continue;
        }
        if (stored->type != PLGroupInfo::Group && stored->type != PLGroupInfo::Buddy) {
            plLog(QStringLiteral("group cache line %1 is neither a group nor a buddy; skipped").arg(i));
            continue;
        }
        dpSessionGroupLineReceived(session, *stored);
    }
}

void PLParleySession::dpSessionBuddyLineReceived(PLDPSession *, const PLBuddyInfo &line)
{
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().createBuddyForCMN(line.cmn);
    PL_GUARD_OBJECT(buddy);
    buddy->setVelaID(line.velaID);
    buddy->setName(line.name);
    buddy->setNickName(line.nickName);
    buddy->setBuddyFlags(line.buddyFlag);
    buddy->setMobile(line.mobile);
    buddy->setOrchardCMN(line.orchardCMN);
    if (line.isLast)
        buddyListCompleted();
}

void PLParleySession::dpSessionBuddyFlagChanged(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "cmn"));
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForCMN(text(info, "cmn"));
    PL_GUARD_OBJECT(buddy);
    if (isServerStarted(info))
        return;
    const QString tid = text(info, "tid");
    const auto job = mJobs.job(tid);
    PL_GUARD_OBJECT(job);
    const QString desc = job->value(QStringLiteral("desc")).toString();
    if (desc == QLatin1String("block buddy")) {
        buddy->setBuddyFlagALBit(false);
        buddy->setBuddyFlagBLBit(true);
    } else if (desc == QLatin1String("unblock buddy")) {
        buddy->setBuddyFlagALBit(true);
        buddy->setBuddyFlagBLBit(false);
    } else if (desc == QLatin1String("add buddy")) {
        buddy->setBuddyFlagFLBit(true);
        PLBuddyManager::sharedManager().addBuddy(buddy->buddyCMN(), QStringLiteral("0"));
    }
    PLBuddyManager::sharedManager().postBuddyUpdatedNotification(buddy->velaID());
    mJobs.remove(tid);
}

void PLParleySession::dpSessionUserRegistersMeToBuddyListNotificationReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "fromCMN"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.createBuddyForCMN(text(info, "fromCMN"));
    PL_GUARD_OBJECT(buddy);
    buddy->setBuddyFlagRLBit(true);
    buddies.postRequestAddBuddyReceivedNotification(info);
}

void PLParleySession::dpSessionRequestRemoveBuddyResultReceived(PLDPSession *, const QVariantMap &info)
{
    const QString tid = text(info, "tid");
    const auto job = mJobs.take(tid); // removed on every path once found
    PL_GUARD_OBJECT(job);
    const QString targetID = job->value(QStringLiteral("targetID")).toString();
    const QString targetCMN = job->value(QStringLiteral("targetCMN")).toString();
    const QString flag = job->value(QStringLiteral("flag")).toString();
    PL_GUARD_OBJECT(has(info, "groupCache") && !targetID.isEmpty() && !targetCMN.isEmpty() && !flag.isEmpty());
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.buddyForCMN(targetCMN);
    PL_GUARD_OBJECT(buddy);
    if (flag == QLatin1String("FL"))
        buddy->setBuddyFlagFLBit(false);
    else if (flag == QLatin1String("AL"))
        buddy->setBuddyFlagALBit(false);
    else if (flag == QLatin1String("BL"))
        buddy->setBuddyFlagBLBit(false);
    if (buddy->buddyFlags() == QLatin1String("0000"))
        buddies.removeBuddyWithCMN(targetCMN);
    buddies.setGroupCacheNo(text(info, "groupCache").toInt());
    buddies.postBuddyUpdatedNotification(targetID);
}

void PLParleySession::dpSessionUserRemovesMeToBuddyListNotificationReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "fromCMN") && has(info, "fromID"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.buddyForCMN(text(info, "fromCMN"));
    PL_GUARD_OBJECT(buddy);
    if (info.value(QStringLiteral("type")).toInt() == 3)
        buddy->setBuddyFlagFLBit(false);
    else
        buddy->setBuddyFlagRLBit(false);
    buddies.postBuddyUpdatedNotification(text(info, "fromID"));
}

void PLParleySession::dpSessionRejectAddBuddyResultReceived(PLDPSession *, const QVariantMap &info)
{
    const auto job = mJobs.take(text(info, "tid"));
    PL_GUARD_OBJECT(job && has(info, "targetCMN") && job->contains(QStringLiteral("targetID")));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.buddyForCMN(text(info, "targetCMN"));
    PL_GUARD_OBJECT(buddy);
    buddy->setBuddyFlagFLBit(false);
    buddy->setBuddyFlagALBit(false);
    buddy->setBuddyFlagBLBit(true);
    buddy->setBuddyFlagRLBit(false);
    buddies.postBuddyUpdatedNotification(job->value(QStringLiteral("targetID")).toString());
}

void PLParleySession::dpSessionAcceptAddBuddyResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "targetCMN") && has(info, "targetName") && has(info, "groupCache"));
    QString buddyID;
    QString groupID;
    if (isServerStarted(info)) {
        buddyID = text(info, "targetID");
        groupID = text(info, "targetGID");
        PLShellServices::shared().removeAddBuddyWidget(text(info, "targetCMN"));
    } else {
        const auto job = mJobs.take(text(info, "tid"));
        PL_GUARD_OBJECT(job);
        buddyID = job->value(QStringLiteral("velaID")).toString();
        groupID = job->value(QStringLiteral("groupID")).toString();
    }
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.buddyForCMN(text(info, "targetCMN"));
    PL_GUARD_OBJECT(!buddyID.isEmpty() && !groupID.isEmpty() && buddy);
    buddy->setName(text(info, "targetName"));
    buddy->setVelaID(buddyID);
    buddy->setBuddyFlagFLBit(true);
    buddy->setBuddyFlagALBit(true);
    if (buddies.groupForID(groupID) || groupID == QLatin1String("0"))
        buddies.addBuddy(buddy->buddyCMN(), groupID);
    buddies.setGroupCacheNo(text(info, "groupCache").toInt());
}

void PLParleySession::dpSessionRequestAddBuddyResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "event") && has(info, "targetCMN") && has(info, "targetName") && has(info, "groupCache"));
    const bool isRequest = text(info, "event") == QLatin1String("REQST");
    QString buddyID;
    QString groupID;
    const QString tid = text(info, "tid");
    if (isServerStarted(info)) {
        if (!isRequest)
            return;
        buddyID = text(info, "targetID");
        groupID = text(info, "targetGID");
    } else {
        const auto job = mJobs.job(tid);
        PL_GUARD_OBJECT(job && job->contains(QStringLiteral("velaID")));
        if (!isRequest) {
            mJobs.remove(tid);
            return;
        }
        buddyID = job->value(QStringLiteral("velaID")).toString();
        groupID = job->value(QStringLiteral("groupID")).toString();
    }
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLGroupPtr group = buddies.groupForID(groupID);
    const PLBuddyPtr buddy = buddies.createBuddyForCMN(text(info, "targetCMN"));
    PL_GUARD_OBJECT((group || groupID == QLatin1String("0")) && buddy);
    buddy->setName(text(info, "targetName"));
    buddy->setVelaID(buddyID);
    buddy->setBuddyFlagFLBit(true);
    buddy->setBuddyFlagALBit(true);
    buddies.addBuddy(buddy->buddyCMN(), groupID);
    buddies.postAddBuddyResultReceivedNotification(buddyID);
    buddies.setGroupCacheNo(text(info, "groupCache").toInt());
    if (!isServerStarted(info))
        mJobs.remove(tid);
}

void PLParleySession::dpSessionAddGroupResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "groupID") && has(info, "newGroupCache"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.setGroupCacheNo(text(info, "newGroupCache").toInt());
    const PLGroupPtr group = buddies.createGroupForID(text(info, "groupID"));
    QString name;
    if (isServerStarted(info)) {
        name = text(info, "groupName");
    } else {
        const auto job = mJobs.take(text(info, "tid"));
        PL_GUARD_OBJECT(job);
        name = job->value(QStringLiteral("groupName")).toString();
    }
    PL_GUARD_OBJECT(group && !name.isNull());
    group->setGroupName(name);
    buddies.postGroupUpdatedNotification(group);
}

void PLParleySession::dpSessionRemoveGroupResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "newGroupCache"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.setGroupCacheNo(text(info, "newGroupCache").toInt());
    QString groupID;
    if (isServerStarted(info)) {
        groupID = text(info, "groupID");
    } else {
        const auto job = mJobs.take(text(info, "tid"));
        PL_GUARD_OBJECT(job);
        groupID = job->value(QStringLiteral("groupID")).toString();
    }
    PL_GUARD_OBJECT(!groupID.isEmpty());
    buddies.removeGroupWithID(groupID);
    buddies.postGroupUpdatedNotification(nullptr);
}

void PLParleySession::dpSessionRenameGroupResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "newGroupCache"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.setGroupCacheNo(text(info, "newGroupCache").toInt());
    QVariantMap source = info;
    if (!isServerStarted(info)) {
        const auto job = mJobs.take(text(info, "tid"));
        PL_GUARD_OBJECT(job);
        source = *job;
    }
    const PLGroupPtr group = buddies.groupForID(text(source, "groupID"));
    PL_GUARD_OBJECT(group && has(source, "groupName"));
    group->setGroupName(text(source, "groupName"));
    buddies.postGroupUpdatedNotification(group);
}

void PLParleySession::applyBulkReply(const QVariantMap &info, const QString &expectedDesc, const char *infoKey)
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    // Later group commands carry the number the client holds.
    if (has(info, "newGroupCache"))
        buddies.setGroupCacheNo(text(info, "newGroupCache").toInt());
    const bool removing = expectedDesc == QLatin1String("removeBuddies");
    const bool moving = expectedDesc == QLatin1String("moveBuddies");
    if (isServerStarted(info)) {
        for (const QString &line : info.value(QStringLiteral("lines")).toStringList()) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (removing && parts.size() > 3)
                buddies.removeBuddy(parts[1], parts[3]);
            else if (!removing && parts.size() > 4 && moving)
                buddies.moveBuddy(parts[1], parts[3], parts[4]);
            else if (!removing && parts.size() > 4)
                buddies.copyBuddy(parts[1], parts[3], parts[4]);
        }
        buddies.postGroupUpdatedNotification(nullptr);
        return;
    }
    const QString tid = text(info, "tid");
    const auto job = mJobs.job(tid);
    PL_GUARD_OBJECT(job && has(info, "resultArray"));
    PL_GUARD_FLAG(job->value(QStringLiteral("desc")).toString() == expectedDesc);
    const QVariantList items = job->value(QLatin1String(infoKey)).toList();
    PL_GUARD_OBJECT(!items.isEmpty());
    const QVariantList results = info.value(QStringLiteral("resultArray")).toList();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString code = results.value(i).toMap().value(QString::number(i)).toString();
        if (code != QLatin1String("100"))
            continue;
        const QVariantMap item = items[i].toMap();
        const QString cmn = text(item, "buddyCMN");
        if (removing)
            buddies.removeBuddy(cmn, text(item, "fromGID"));
        else if (moving)
            buddies.moveBuddy(cmn, text(item, "fromGID"), text(item, "targetGID"));
        else
            buddies.copyBuddy(cmn, text(item, "fromGID"), text(item, "targetGID"));
    }
    buddies.postGroupUpdatedNotification(nullptr);
    mJobs.remove(tid);
}

void PLParleySession::dpSessionRemoveBuddiesResultReceived(PLDPSession *, const QVariantMap &info)
{
    applyBulkReply(info, QStringLiteral("removeBuddies"), "removeInfoArray");
}

void PLParleySession::dpSessionCopyBuddiesResultReceived(PLDPSession *, const QVariantMap &info)
{
    applyBulkReply(info, QStringLiteral("copyBuddies"), "copyInfoArray");
}

void PLParleySession::dpSessionMoveBuddiesResultReceived(PLDPSession *, const QVariantMap &info)
{
    PLShellServices::shared().clearOrButtonX();
    applyBulkReply(info, QStringLiteral("moveBuddies"), "moveInfoArray");
}

void PLParleySession::dpSessionBuddyStatusChanged(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "userID") && has(info, "status") && has(info, "packetType"));
    const QString userID = text(info, "userID");
    if (userID == PLMyInfoManager::sharedManager().loginID())
        return applyOwnPresence(text(info, "status"));
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const PLBuddyPtr buddy = buddies.buddyForID(userID);
    PL_GUARD_OBJECT(buddy);
    const qint32 before = buddy->status();
    const qint32 now = PLBuddyManager::buddyStatusFrom(text(info, "status").toUpper());
    buddy->setTalkAvailable(text(info, "noteOnly").toInt() > 0);
    buddy->setStatus(now);
    if (text(info, "packetType") == QLatin1String("NTFY")) {
        if (before != 0 && now == 0)
            buddies.postBuddyLogoutNotification(userID);
        else if (before == 0 && now != 0)
            buddies.postBuddyLoggedInNotification(userID);
    }
    buddies.postBuddyUpdatedNotification(userID);
}

void PLParleySession::applyOwnPresence(const QString &letter)
{
    PLShellServices &shell = PLShellServices::shared();
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    if (letter == QLatin1String("a")) {
        if (PrefsManager::general_IsCheckAway())
            shell.goIdleFromServer();
    } else {
        static const QMap<QString, int> kCodes{{QStringLiteral("A"), 3}, {QStringLiteral("B"), 2},
                                               {QStringLiteral("M"), 5}, {QStringLiteral("O"), 1},
                                               {QStringLiteral("P"), 4}, {QStringLiteral("X"), 0}};
        const int code = kCodes.value(letter, 1);
        if (letter == QLatin1String("O"))
            shell.setNotiOnline(true);
        shell.changeStatusMainWindow(code);
        me.setStatus(code);
    }
    post(notifications::kMyStatusChanged, {{QStringLiteral("status"), letter}});
}

void PLParleySession::dpSessionBuddyNickNameChanged(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "velaID") && has(info, "nickName"));
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(text(info, "velaID"));
    PL_GUARD_OBJECT(buddy);
    buddy->setNickName(text(info, "nickName"));
    PLBuddyManager::sharedManager().postBuddyUpdatedNotification(text(info, "velaID"));
}

void PLParleySession::dpSessionBuddyInfoUpdateNotificaionReceived(PLDPSession *, const QVariantMap &info)
{
    for (const char *key : {"velaID", "mobile", "orcmn", "musicDate", "eweryn", "birth"})
        PL_GUARD_OBJECT(has(info, key));
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(text(info, "velaID"));
    PL_GUARD_OBJECT(buddy);
    buddy->setMobile(text(info, "mobile"));
    PLBuddyManager::sharedManager().postBuddyUpdatedNotification(text(info, "velaID"));
}

} // namespace parley
