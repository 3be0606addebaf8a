#include "PLRecvADDBPacket.h"

#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLRecvADDBPacket::decodeFields()
{
    const QString &list = field(2);
    if (list == QLatin1String("FL")) {
        mPacketType = ForwardList;
        readForwardList();
        return;
    }
    if (list == QLatin1String("AL"))
        mPacketType = AllowList;
    else if (list == QLatin1String("RL"))
        mPacketType = ReverseList;
    else if (list == QLatin1String("BL"))
        mPacketType = BlockList;
    else {
        mPacketType = General;
        readField(QStringLiteral("targetCMN"), 2);
        return;
    }
    readFields(2, {QStringLiteral("type"), QStringLiteral("fromCMN"), QStringLiteral("fromID")});
    if (mPacketType == ReverseList)
        setValue(QStringLiteral("msg"),
                 fieldCount() >= 6 ? stringByParleyDecoding(field(5)) : QString(QLatin1String("")));
}

void PLRecvADDBPacket::readForwardList()
{
    readRawFields(2, {QStringLiteral("type"), QStringLiteral("fromCMN"), QStringLiteral("fromID")});
    if (!tidFieldIsZero()) {
        readRawField(QStringLiteral("groupID"), 5);
        readField(QStringLiteral("name"), 6);
        return;
    }
    readRawField(QStringLiteral("groupCache"), 5);
    mNick = field(6);
    setValue(QStringLiteral("nick"), mNick);
    if (fieldCount() >= 8)
        mAreaCode = field(7);
}

} // namespace parley
