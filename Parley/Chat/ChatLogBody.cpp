#include "ChatLogBody.h"

#include "BuddyManagement/PLBuddyManager.h"

#include <QVariantList>

namespace parley {

namespace {

const QString kCRLF = QStringLiteral("\r\n");

void appendField(QString &body, const char *name, const QString &value)
{
    body += QLatin1String(ChatLogBody::kBoundaryLine) + kCRLF;
    body += QLatin1String("Content-Disposition: form-data; name=\"") + QLatin1String(name) + QLatin1Char('"') + kCRLF
        + kCRLF;
    body += ChatLogBody::harden(value) + kCRLF;
}

bool isBuddy(const QString &velaID)
{
    return !velaID.isEmpty() && PLBuddyManager::sharedManager().buddyForID(velaID) != nullptr;
}

} // namespace

QString ChatLogBody::harden(const QString &value)
{
    const QLatin1String boundary(kBoundaryLine);
    QString out;
    out.reserve(value.size());
    bool lineStart = true;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (lineStart && QStringView(value).mid(i).startsWith(boundary))
            out += QLatin1Char(' ');
        const QChar c = value.at(i);
        out += c;
        // CR LF counts once: the line starts after the LF.
        lineStart = c == QLatin1Char('\n')
            || (c == QLatin1Char('\r') && (i + 1 >= value.size() || value.at(i + 1) != QLatin1Char('\n')));
    }
    return out;
}

QString ChatLogBody::body(const ChatLogFields &fields)
{
    QString body;
    appendField(body, "t", fields.ticket);
    appendField(body, "owner_cmn", fields.ownerCMN);
    appendField(body, "box_type", QStringLiteral("chat"));
    appendField(body, "buddys", fields.buddys);
    appendField(body, "subject", fields.subject);
    appendField(body, "content", fields.content);
    appendField(body, "os", QStringLiteral("ko.mac"));
    body += QLatin1String(kBoundaryLine) + QLatin1String("--");
    return body;
}

QString ChatLogBody::memberLine(const QString &velaID)
{
    if (const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(velaID))
        return buddy->velaID() + QLatin1Char(' ') + buddy->buddyCMN() + QLatin1Char(' ') + buddy->name() + kCRLF;
    // Somebody off the buddy list has no member number to give.
    return velaID + QLatin1String(" 0 ") + velaID + kCRLF;
}

QStringList ChatLogBody::loggedMemberIDs(const QStringList &memberIDs, const QString &lastBuddyID,
                                         const QString &selectedBuddyID)
{
    if (!memberIDs.isEmpty())
        return memberIDs;
    if (isBuddy(lastBuddyID))
        return {lastBuddyID};
    if (isBuddy(selectedBuddyID))
        return {selectedBuddyID};
    return {};
}

QString ChatLogBody::buddysField(const QStringList &memberIDs, const QString &lastBuddyID,
                                 const QString &selectedBuddyID)
{
    QString lines;
    for (const QString &id : loggedMemberIDs(memberIDs, lastBuddyID, selectedBuddyID))
        lines += memberLine(id);
    return lines;
}

QVariantMap ChatLogBody::messageBoxRecord(const QString &title, const QString &subject, const QString &log,
                                          const QStringList &memberIDs, const QStringList &memberNames,
                                          const QDateTime &date)
{
    const QString bodyData = title + QLatin1Char('\n') + subject + QLatin1Char('\n') + log;
    const qint64 bytes = bodyData.toUtf8().size();
    return {{QStringLiteral("chatUser"), memberNames},
            {QStringLiteral("chatUserID"), memberIDs},
            {QStringLiteral("date"), date},
            {QStringLiteral("bodyData"), bodyData},
            {QStringLiteral("size"), QVariant::fromValue<qint64>((bytes + 1023) / 1024)}};
}

} // namespace parley
