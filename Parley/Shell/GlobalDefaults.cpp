#include "GlobalDefaults.h"

#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QVariantList>

namespace parley::shell {

void registerGlobalDefaults(UserDefaults &defaults)
{
    // Ports are strings, as the preferences window writes them.
    const QList<std::pair<const char *, QVariant>> table{
        {kDefaultDomainsKey, KCDefaultDomain()},
        {"accountname", QString(QLatin1String(""))},
        {"PlugIns", QVariantList{}},
        {"autoStart", true},
        {"autoUpdateCheck", true},
        {"UseProxy", false},
        {"ProxyIndex", 2},
        {"ProxyServer", QString(QLatin1String(""))},
        {"ProxyPortSocks4", QStringLiteral("1080")},
        {"ProxyPortSocks5", QStringLiteral("1080")},
        {"ProxyPortHTTP", QStringLiteral("80")},
        {"ProxyUser", QString(QLatin1String(""))},
        {"ProxyPassword", QString(QLatin1String(""))},
        {"P2PPort", QStringLiteral("5004")},
    };
    QVariantMap missing;
    for (const auto &[key, value] : table) {
        if (!defaults.objectForKey(QLatin1String(key)).isValid())
            missing.insert(QLatin1String(key), value);
    }
    // Passwords are never kept; an old one is dropped.
    if (defaults.objectForKey(QStringLiteral("accountPassword")).isValid())
        missing.insert(QStringLiteral("accountPassword"), QVariant());
    if (!missing.isEmpty())
        defaults.setObjects(missing);
}

} // namespace parley::shell
