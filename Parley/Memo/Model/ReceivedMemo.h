#pragma once

// A received memo as the read window shows and answers it: the memo's header
// fields and text (the received-memo dictionary: "from", "ref", "date",
// "message" wire-escaped, the font fields, "related", "cookie", ...), and
// what reply, reply to all and forward make of it. Values may be text or
// numbers; anything else reads as empty.

#include "MemoNames.h"
#include "RelatedMemoEntry.h"

#include <QStringList>
#include <QVariantMap>

#include <optional>

class ReceivedMemo
{
public:
    explicit ReceivedMemo(const QVariantMap &info, const MemoNames &names = MemoNames::shared())
        : mInfo(info), mNames(names)
    {
    }

    const QVariantMap &info() const { return mInfo; }
    QString value(const char *key) const;
    bool has(const char *key) const { return mInfo.contains(QLatin1String(key)); }

    QString fromID() const { return value("from"); }
    QString fromName() const { return mNames.nameForID(fromID()); }
    // "ref" split at ";", empty entries left out; nothing when there is no "ref".
    std::optional<QStringList> receiverIDs() const;
    // The text, wire escaping undone.
    QString receiveMessage() const;
    QString cookie() const { return value("cookie"); }
    // "yyyy-MM-dd hh:mm:ss" of the 14-digit stamp; a shorter stamp as it is;
    // null without one.
    QString sentDate() const;
    static QString formatStamp(const QString &stamp);

    // The receivers' names joined by ", ".
    QString receiversText() const;
    // The server marked related memos: "N" none (the pane is off), "Y" some
    // (the first use asks for them); missing: the pane is on but asks nothing.
    bool relatedPaneEnabled() const { return value("related") != QLatin1String("N"); }
    bool serverHasRelatedMemos() const { return value("related") == QLatin1String("Y"); }

    QStringList replyTargets() const { return {fromID()}; }
    // The receivers without the first occurrence of the user's own ID, then
    // the sender.
    QStringList replyAllTargets(const QString &myLoginID) const;
    // The forwarded text: three empty lines, the original's heading lines and
    // its text (LF line ends).
    QString originalMessageString(const QString &title) const;
    // This memo as the first memo of its thread ("cmsg").
    RelatedMemoEntry asRelatedEntry() const;

private:
    QVariantMap mInfo;
    const MemoNames &mNames;
};
