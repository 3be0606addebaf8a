#include "PLMemoBoxManager.h"

#include "Log.h"
#include "PLConfManager.h"

namespace parley {

namespace {

constexpr qsizetype kSchemePrefixLength = 7;

} // namespace

PLMemoBoxManager &PLMemoBoxManager::sharedManager()
{
    static PLMemoBoxManager instance;
    return instance;
}

std::optional<PLMemoBoxManager::ServerInfo> PLMemoBoxManager::serverInfoFrom(const QString &url)
{
    PL_GUARD_OBJECT(!url.isNull(), std::nullopt);
    PL_GUARD_FLAG(url.size() >= kSchemePrefixLength, std::nullopt);
    const QString rest = url.mid(kSchemePrefixLength);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return ServerInfo{rest, QString(QLatin1String(""))};
    return ServerInfo{rest.left(slash), rest.mid(slash)};
}

std::optional<PLMemoBoxManager::ServerInfo> PLMemoBoxManager::serverInfo() const
{
    return serverInfoFrom(PLConfManager::sharedManager().valueForKey(QStringLiteral("memo_ipml")));
}

} // namespace parley
