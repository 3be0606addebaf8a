#include "BuddyListDragAndDrop.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QUrl>

namespace parley::BuddyListDragAndDrop {

namespace {

const QString kVelaID = QStringLiteral("velaID");
const QString kGroupID = QStringLiteral("groupID");

} // namespace

std::optional<QByteArray> payloadForRows(int displayType, const QList<const BuddyRow *> &rows)
{
    if (displayType == BuddyListManager::OnlineOffline || rows.isEmpty() || !rows.first())
        return std::nullopt;
    QJsonArray entries;
    for (const BuddyRow *row : rows) {
        if (!row || !row->buddy || !row->group)
            continue;
        entries.append(QJsonObject{{kVelaID, row->buddy->velaID()}, {kGroupID, row->group->groupID()}});
    }
    return QJsonDocument(entries).toJson(QJsonDocument::Compact);
}

std::optional<QList<DraggedBuddy>> parsePayload(const QByteArray &payload)
{
    if (payload.size() > kMaxPayloadBytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonArray entries = document.array();
    if (entries.size() > kMaxPayloadEntries)
        return std::nullopt;
    QList<DraggedBuddy> dragged;
    dragged.reserve(entries.size());
    for (const QJsonValue &entry : entries) {
        const QJsonValue velaID = entry.toObject().value(kVelaID);
        const QJsonValue groupID = entry.toObject().value(kGroupID);
        if (!entry.isObject() || !velaID.isString() || !groupID.isString())
            return std::nullopt;
        dragged.append({velaID.toString(), groupID.toString()});
    }
    return dragged;
}

std::optional<QStringList> localPaths(const QMimeData &data)
{
    if (!data.hasUrls())
        return std::nullopt;
    QStringList paths;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile())
            return std::nullopt;
        paths << url.toLocalFile();
    }
    return paths;
}

bool areRegularFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return false;
    for (const QString &path : paths) {
        // QFileInfo follows a link to what it names.
        const QFileInfo info(path);
        if (!info.exists() || !info.isFile())
            return false;
    }
    return true;
}

DropOperation validateDrop(int displayType, bool hasBuddies, const std::optional<QStringList> &paths,
                           DropTarget target)
{
    if (displayType == BuddyListManager::OnlineOffline)
        return DropOperation::None;
    if (hasBuddies)
        return target == DropTarget::Group ? DropOperation::Move : DropOperation::None;
    if (paths && target == DropTarget::Buddy)
        return areRegularFiles(*paths) ? DropOperation::Copy : DropOperation::None;
    return DropOperation::None;
}

QVariantList moveRequests(const QList<DraggedBuddy> &dragged, const PLGroup &target, const PLBuddyManager &buddies)
{
    QVariantList requests;
    for (const DraggedBuddy &entry : dragged) {
        const PLBuddyPtr buddy = buddies.buddyForID(entry.velaID);
        const PLGroupPtr source = buddies.groupForID(entry.groupID);
        if (!buddy || !source || source->groupID() == target.groupID())
            continue;
        requests.append(QVariantMap{{QStringLiteral("buddyID"), buddy->velaID()},
                                    {QStringLiteral("buddyCMN"), buddy->buddyCMN()},
                                    {QStringLiteral("fromGID"), source->groupID()},
                                    {QStringLiteral("targetGID"), target.groupID()}});
    }
    return requests;
}

FileDrop fileDropAction(int myStatus, const PLBuddy *buddy)
{
    if (myStatus == 0)
        return FileDrop::OfflineAlert;
    if (!buddy || !BuddyListManager::isOnline(*buddy) || buddy->buddyFlagBLBit())
        return FileDrop::Refuse;
    return FileDrop::Transfer;
}

} // namespace parley::BuddyListDragAndDrop
