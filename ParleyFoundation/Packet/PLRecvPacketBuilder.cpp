#include "PLRecvPacketBuilder.h"

#include "Log.h"
#include "PLRecvERRPacket.h"
#include "Utils/ParleyStringAdditions.h"

// Decoder classes: one line each, enabled as the class arrives.
#include "PLRecvPVERPacket.h"
#include "PLRecvAUTHPacket.h"
#include "PLRecvREQSPacket.h"
#include "PLRecvLSINPacket.h"
#include "PLRecvLIN4Packet.h"
#include "PLRecvCONFPacket.h"
#include "PLRecvLOPTPacket.h"
#include "PLRecvGLSTPacket.h"
#include "PLRecvLISTPacket.h"
#include "PLRecvNCPTPacket.h"
#include "PLRecvPRVKPacket.h"
#include "PLRecvONSTPacket.h"
#include "PLRecvPINGPacket.h"
#include "PLRecvPONGPacket.h"
#include "PLRecvINFYPacket.h"
#include "PLRecvNTFYPacket.h"
#include "PLRecvCPRFPacket.h"
#include "PLRecvNPRFPacket.h"
#include "PLRecvKILLPacket.h"
#include "PLRecvCNIKPacket.h"
#include "PLRecvNNIKPacket.h"
#include "PLRecvADSBPacket.h"
#include "PLRecvADDBPacket.h"
#include "PLRecvPACKPacket.h"
#include "PLRecvPNAKPacket.h"
#include "PLRecvADDGPacket.h"
#include "PLRecvRMVGPacket.h"
#include "PLRecvRENGPacket.h"
#include "PLRecvRMVBPacket.h"
#include "PLRecvCTOCPacket.h"
#include "PLRecvENTRPacket.h"
#include "PLRecvUSERPacket.h"
#include "PLRecvMESGPacket.h"
#include "PLRecvWHSPPacket.h"
#include "PLRecvSPSHPacket.h"
#include "PLRecvRESSPacket.h"
#include "PLRecvCPBGPacket.h"
#include "PLRecvMVBGPacket.h"
#include "PLRecvRMBGPacket.h"
#include "PLRecvPBLKPacket.h"
#include "PLRecvESSKPacket.h"
#include "PLRecvJOINPacket.h"
#include "PLRecvQUITPacket.h"
#include "PLRecvSMSGPacket.h"
#include "PLRecvPTPCPacket.h"
#include "PLRecvFILEPacket.h"
#include "PLRecvATHCPacket.h"
#include "PLRecvCMSGPacket.h"
#include "PLRecvTICKPacket.h"
#include "PLRecvTOKNPacket.h"
#include "PLRecvALRMPacket.h"
#include "PLRecvCALMPacket.h"
#include "PLRecvREFRPacket.h"
#include "PLRecvFRINPacket.h"
#include "PLRecvRCONPacket.h"
#include "PLRecvCRPTPacket.h"
#include "PLRecvWGETPacket.h"
#include "PLRecvMCNTPacket.h"
#include "PLRecvMLSTPacket.h"
#include "PLRecvDSELPacket.h"
#include "PLRecvKILSPacket.h"
#include "PLRecvIPRMPacket.h"

namespace parley {

PLRecvPacketBuilder &PLRecvPacketBuilder::sharedRecvPacketBuilder()
{
    static PLRecvPacketBuilder instance;
    return instance;
}

PLRecvPacketBuilder::PLRecvPacketBuilder()
{
    loadPLRecvPacketClassObjectList();
}

void PLRecvPacketBuilder::loadPLRecvPacketClassObjectList()
{
    if (!mDictRecvPacket.isEmpty())
        return;
    // In the order of the protocol's word list; PMSG is decoded like CMSG and
    // keeps its own word. There is no entry for "ERR".
    add<PLRecvPVERPacket>("PVER");
    add<PLRecvAUTHPacket>("AUTH");
    add<PLRecvREQSPacket>("REQS");
    add<PLRecvLSINPacket>("LSIN");
    add<PLRecvLIN4Packet>("LIN4");
    add<PLRecvCONFPacket>("CONF");
    add<PLRecvLOPTPacket>("LOPT");
    add<PLRecvGLSTPacket>("GLST");
    add<PLRecvLISTPacket>("LIST");
    add<PLRecvNCPTPacket>("NCPT");
    add<PLRecvPRVKPacket>("PRVK");
    add<PLRecvONSTPacket>("ONST");
    add<PLRecvPINGPacket>("PING");
    add<PLRecvPONGPacket>("PONG");
    add<PLRecvINFYPacket>("INFY");
    add<PLRecvNTFYPacket>("NTFY");
    add<PLRecvCPRFPacket>("CPRF");
    add<PLRecvNPRFPacket>("NPRF");
    add<PLRecvKILLPacket>("KILL");
    add<PLRecvCNIKPacket>("CNIK");
    add<PLRecvNNIKPacket>("NNIK");
    add<PLRecvADSBPacket>("ADSB");
    add<PLRecvADDBPacket>("ADDB");
    add<PLRecvPACKPacket>("PACK");
    add<PLRecvPNAKPacket>("PNAK");
    add<PLRecvADDGPacket>("ADDG");
    add<PLRecvRMVGPacket>("RMVG");
    add<PLRecvRENGPacket>("RENG");
    add<PLRecvRMVBPacket>("RMVB");
    add<PLRecvCTOCPacket>("CTOC");
    add<PLRecvENTRPacket>("ENTR");
    add<PLRecvUSERPacket>("USER");
    add<PLRecvMESGPacket>("MESG");
    add<PLRecvWHSPPacket>("WHSP");
    add<PLRecvSPSHPacket>("SPSH");
    add<PLRecvRESSPacket>("RESS");
    add<PLRecvCPBGPacket>("CPBG");
    add<PLRecvMVBGPacket>("MVBG");
    add<PLRecvRMBGPacket>("RMBG");
    add<PLRecvPBLKPacket>("PBLK");
    add<PLRecvESSKPacket>("ESSK");
    add<PLRecvJOINPacket>("JOIN");
    add<PLRecvQUITPacket>("QUIT");
    add<PLRecvSMSGPacket>("SMSG");
    add<PLRecvPTPCPacket>("PTPC");
    add<PLRecvFILEPacket>("FILE");
    add<PLRecvATHCPacket>("ATHC");
    add<PLRecvCMSGPacket>("CMSG");
    add<PLRecvCMSGPacket>("PMSG");
    add<PLRecvTICKPacket>("TICK");
    add<PLRecvTOKNPacket>("TOKN");
    add<PLRecvALRMPacket>("ALRM");
    add<PLRecvCALMPacket>("CALM");
    add<PLRecvREFRPacket>("REFR");
    add<PLRecvFRINPacket>("FRIN");
    add<PLRecvRCONPacket>("RCON");
    add<PLRecvCRPTPacket>("CRPT");
    add<PLRecvWGETPacket>("WGET");
    add<PLRecvMCNTPacket>("MCNT");
    add<PLRecvMLSTPacket>("MLST");
    add<PLRecvDSELPacket>("DSEL");
    add<PLRecvKILSPacket>("KILS");
    add<PLRecvIPRMPacket>("IPRM");
}

void PLRecvPacketBuilder::addFactory(const QString &word, Factory factory)
{
    mDictRecvPacket.insert(word, factory);
    if (word.size() == 4)
        mFourLetterWords.insert(packedWord(word), {word, factory});
}

quint64 PLRecvPacketBuilder::packedWord(QStringView word)
{
    quint64 packed = 0;
    for (QChar c : word)
        packed = (packed << 16) | c.unicode();
    return packed;
}

std::unique_ptr<PLRecvPacket> PLRecvPacketBuilder::recvPacketForCommand(const QString &word) const
{
    const auto it = mDictRecvPacket.constFind(word);
    return it == mDictRecvPacket.constEnd() ? nullptr : (*it)();
}

std::unique_ptr<PLRecvPacket> PLRecvPacketBuilder::packetForWord(QStringView word) const
{
    if (word.size() != 4)
        return recvPacketForCommand(word.toString());
    const auto it = mFourLetterWords.constFind(packedWord(word));
    if (it == mFourLetterWords.constEnd())
        return nullptr;
    std::unique_ptr<PLRecvPacket> packet = it->factory();
    packet->setCommand(it->word);
    return packet;
}

std::unique_ptr<PLRecvPacket> PLRecvPacketBuilder::setPacketString(const QString &line)
{
    if (line.isNull())
        return nullptr;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    const QStringView word = space < 0 ? QStringView(line) : QStringView(line).first(space);
    std::unique_ptr<PLRecvPacket> packet = sharedRecvPacketBuilder().packetForWord(word);
    if (packet) {
        // Every known command has a tid; a bare word is dropped here rather
        // than handed to a decoder that would read past the line.
        if (space < 0) {
            plLog(QStringLiteral("Error: %1 without tid dropped: %2").arg(word, line));
            return nullptr;
        }
    } else if (plIntValue(word) != 0) {
        packet = std::make_unique<PLRecvERRPacket>();
    } else {
        return nullptr;
    }
    packet->setParams(line);
    return packet;
}

std::unique_ptr<PLRecvPacket> PLRecvPacketBuilder::setPacketString(const QString &line,
                                                                 std::unique_ptr<PLRecvPacket> spare)
{
    if (spare && spare->isReusable() && !line.isNull()) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        // Without a tid the line takes the usual way, which drops it.
        if (space >= 0 && QStringView(line).first(space) == QStringView(spare->command())) {
            spare->clearForReuse();
            spare->setParams(line);
            return spare;
        }
    }
    return setPacketString(line);
}

QStringList PLRecvPacketBuilder::removeEmptyStringWithArray(const QStringList &list)
{
    QStringList result = list;
    for (qsizetype i = result.size() - 1; i >= 0; --i) {
        if (result.at(i).isEmpty())
            result.removeAt(i);
    }
    return result;
}

} // namespace parley
