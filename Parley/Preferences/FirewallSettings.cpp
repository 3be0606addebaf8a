#include "FirewallSettings.h"

namespace parley {

QString FirewallSettings::portKey(int kind)
{
    switch (kind) {
    case 2: return QStringLiteral("ProxyPortSocks4");
    case 3: return QStringLiteral("ProxyPortSocks5");
    default: return QStringLiteral("ProxyPortHTTP");
    }
}

bool FirewallSettings::takesCredentials(int kind) { return kind != 2; }

QVariantMap FirewallSettings::valuesToSave(const FirewallForm &form)
{
    const int kind = (form.kind == 2 || form.kind == 3) ? form.kind : 1;
    bool ok = false;
    const int p2p = form.p2pPort.trimmed().toInt(&ok);
    // A port the listener could never take (0, negative, above 65535) is no
    // better than none.
    const bool usablePort = ok && p2p >= 1 && p2p <= 65535;
    return {
        {QStringLiteral("UseProxy"), form.useProxy && !form.server.isEmpty()},
        {QStringLiteral("ProxyIndex"), kind},
        {portKey(kind), form.port},
        {QStringLiteral("ProxyServer"), form.server},
        {QStringLiteral("ProxyUser"), form.user},
        {QStringLiteral("ProxyPassword"), form.password},
        {QStringLiteral("P2PPort"), usablePort ? form.p2pPort.trimmed() : QString::fromLatin1(kDefaultP2PPort)},
    };
}

} // namespace parley
