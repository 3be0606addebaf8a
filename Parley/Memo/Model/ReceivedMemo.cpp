#include "ReceivedMemo.h"

#include "Utils/ParleyStringAdditions.h"

QString ReceivedMemo::value(const char *key) const
{
    const QVariant v = mInfo.value(QLatin1String(key));
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return v.toString();
    default:
        return {};
    }
}

std::optional<QStringList> ReceivedMemo::receiverIDs() const
{
    if (!has("ref"))
        return std::nullopt;
    QStringList ids;
    for (const QString &id : value("ref").split(QLatin1Char(';'))) {
        if (!id.isEmpty())
            ids.append(id);
    }
    return ids;
}

QString ReceivedMemo::receiveMessage() const { return parley::stringByParleyDecoding(value("message")); }

QString ReceivedMemo::formatStamp(const QString &stamp)
{
    if (stamp.size() < 14)
        return stamp;
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(stamp.mid(0, 4), stamp.mid(4, 2), stamp.mid(6, 2), stamp.mid(8, 2), stamp.mid(10, 2),
             stamp.mid(12, 2));
}

QString ReceivedMemo::sentDate() const
{
    if (!has("date"))
        return {};
    return formatStamp(value("date"));
}

QString ReceivedMemo::receiversText() const
{
    QStringList names;
    for (const QString &id : receiverIDs().value_or(QStringList()))
        names.append(mNames.nameForID(id));
    return names.join(QStringLiteral(", "));
}

QStringList ReceivedMemo::replyAllTargets(const QString &myLoginID) const
{
    QStringList targets = receiverIDs().value_or(QStringList());
    const qsizetype me = targets.indexOf(myLoginID);
    if (me >= 0)
        targets.removeAt(me);
    targets.append(fromID());
    return targets;
}

QString ReceivedMemo::originalMessageString(const QString &title) const
{
    QString to = QStringLiteral("To : ");
    for (const QString &id : receiverIDs().value_or(QStringList()))
        to += QStringLiteral("%1<%2>;").arg(mNames.nameForID(id), id);
    return QStringLiteral("\n\n\n%1\n%2\n%3\n%4\n%5\n%6")
        .arg(QStringLiteral("----- Original Message -----"),
             QStringLiteral("From : %1<%2>").arg(fromName(), fromID()), to,
             QStringLiteral("Sent: %1").arg(sentDate()), QStringLiteral("Subject: %1").arg(title),
             receiveMessage());
}

RelatedMemoEntry ReceivedMemo::asRelatedEntry() const
{
    RelatedMemoEntry entry;
    entry.sequence = 0;
    entry.field1 = QStringLiteral("0");
    entry.field2 = QStringLiteral("0");
    entry.direction = QStringLiteral("R");
    entry.senderID = fromID();
    entry.receiverIDs = value("ref");
    entry.date = value("date");
    entry.flag = true;
    entry.fontAttributes = QStringLiteral("font-name:%1;font-style:%2;font-size:%3;font-color:%4")
                               .arg(value("font-name"), value("font-style"), value("font-size"),
                                    value("font-color"));
    entry.text = value("message");
    return entry;
}
