#pragma once

// What a saved chat log becomes: the multipart form body that the shell
// uploads to the user's web message box, and the record the message box
// (Pigeonhole) files.
//
// The body is seven form fields, each "<boundary line>\r\nContent-Disposition:
// form-data; name="NAME"\r\n\r\nVALUE\r\n", then the closing boundary line and
// "--" with no line break after it. The values hold peer text, so a line of a
// value that begins with the boundary line gets a leading space: typed into a
// chat, the boundary could otherwise end a field early and add fields of the
// peer's making to the user's upload.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace parley {

struct ChatLogFields
{
    QString ticket;
    QString ownerCMN;
    QString buddys; // the member lines
    QString subject;
    QString content;
};

class ChatLogBody
{
public:
    ChatLogBody() = delete;

    // 29 hyphens and the fixed boundary.
    static constexpr char kBoundaryLine[] = "-----------------------------93e41c6e209110";

    static QString body(const ChatLogFields &fields);
    // Every line of the value (at its start or after CR, LF or CR LF) that
    // begins with the boundary line, preceded by a space.
    static QString harden(const QString &value);

    // "velaID cmn name\r\n" for a member found in the buddy list; for anybody
    // else the ID, "0" and the ID.
    static QString memberLine(const QString &velaID);
    // The members' lines in room order; for an empty room the line of the
    // last buddy, else of the selected one, when that ID is a buddy.
    static QString buddysField(const QStringList &memberIDs, const QString &lastBuddyID,
                               const QString &selectedBuddyID);
    // The IDs the buddys field names, in its order.
    static QStringList loggedMemberIDs(const QStringList &memberIDs, const QString &lastBuddyID,
                                       const QString &selectedBuddyID);

    // The message box's chat record: "chatUser" and "chatUserID" (display
    // strings and IDs, as arrays), "date", "bodyData" (the window title, the
    // subject and the log on lines of their own) and "size" (its kilobytes in
    // UTF-8, rounded up).
    static QVariantMap messageBoxRecord(const QString &title, const QString &subject, const QString &log,
                                        const QStringList &memberIDs, const QStringList &memberNames,
                                        const QDateTime &date);
};

} // namespace parley
