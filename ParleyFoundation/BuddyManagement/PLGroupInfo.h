#pragma once

// One line of the group list (GLST) of a sign-in: the list's cache number, a
// group, or a buddy filed in a group. The session hands it to its owner as
// it is; the group cache keeps it as it is and writes it as its dictionary,
// and replays stored dictionaries through fromVariantMap.

#include <QString>
#include <QVariantMap>

#include <optional>

namespace parley {

class PropertyListWriter;

struct PLGroupInfo {
    enum Type { Unknown, Cache, Group, Buddy };

    Type type = Unknown;
    quint32 groupCacheNo = 0;       // Cache
    bool willDownloadGroup = false; // Cache: the number differs from the one held
    bool isLast = false;            // Group, Buddy
    qint32 lineCount = 0;           // Group, Buddy: the lines the list announces (not stored)
    QString groupID;                // Group, Buddy ("groupId")
    QString groupName;              // Group
    QString buddyCMN;               // Buddy

    // {"type": "Cache", "groupCacheNo": number, "willDownloadGroup"},
    // {"type": "Group", "isLast", "groupId", "groupName"} or
    // {"type": "Buddy", "isLast", "buddyCMN", "groupId"}; empty when Unknown.
    QVariantMap toVariantMap() const;
    // A dictionary of that form back; an unknown "type" gives Unknown, a
    // group or buddy line without its keys gives nothing.
    static std::optional<PLGroupInfo> fromVariantMap(const QVariantMap &map);
    // Writes toVariantMap() without building it: the same bytes.
    void writeDictionary(PropertyListWriter &writer) const;
};

} // namespace parley
