#include "HeadlessChatCommands.h"

#include "ChatManagement/PLChatSessionManager.h"
#include "HeadlessOutput.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLParleySession.h"

namespace headless::chat {

using parley::PLChatSessionManager;

void installChatManager()
{
    parley::PLManagerRegistry::setChatSessionManager(&PLChatSessionManager::sharedManager());
}

QString messageString(const QString &text)
{
    QString body = text;
    body.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QStringLiteral("Helvetica\t000000\t\t") + body;
}

Result open(HeadlessContext &context, const QStringList &args, bool *sent)
{
    QString uuid;
    *sent = context.session.createNewChattingRoomWithBuddies(args, &uuid);
    return std::nullopt;
}

Result say(HeadlessContext &, const QStringList &args, bool *sent)
{
    if (!PLChatSessionManager::sharedManager().sessionInfo(args[0]))
        return QStringLiteral("no chat room \"%1\"").arg(args[0]);
    *sent = PLChatSessionManager::sharedManager().sendMessage(messageString(args[1]), args[0]);
    return std::nullopt;
}

Result leave(HeadlessContext &, const QStringList &args, bool *sent)
{
    if (!PLChatSessionManager::sharedManager().sessionInfo(args[0]))
        return QStringLiteral("no chat room \"%1\"").arg(args[0]);
    *sent = PLChatSessionManager::sharedManager().disconnectSession(args[0]);
    return std::nullopt;
}

} // namespace headless::chat
