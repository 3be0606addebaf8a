#pragma once

// One memo of a thread as the server lists it in a related-memo reply, and
// as the read window hands the memo it shows to the compose window ("cmsg":
// a list of ten values in this order).

#include <QString>
#include <QVariantList>

#include <optional>

struct RelatedMemoEntry {
    int sequence = 0;
    QString field1;        // kept, not shown
    QString field2;        // kept, not shown
    QString direction;     // "S": the user sent it
    QString senderID;
    QString receiverIDs;   // joined by ";"
    QString date;          // yyyyMMddHHmmss
    bool flag = false;     // the wire field was "Y"
    QString fontAttributes; // "font-name:..;font-style:..;font-size:..;font-color:.."
    QString text;          // still wire-escaped

    bool isSent() const { return direction == QLatin1String("S"); }

    QVariantList toList() const;
    // The ten values of a "cmsg" list; nothing for another shape.
    static std::optional<RelatedMemoEntry> fromList(const QVariantList &list);

    friend bool operator==(const RelatedMemoEntry &, const RelatedMemoEntry &) = default;
};
