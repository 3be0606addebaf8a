#include "KCMachineIdentity.h"

#include <QNetworkInterface>

namespace parley {

namespace {

// The general failure code reported when no Ethernet interface was found.
constexpr quint32 kNoInterfaceStatus = 5;

std::optional<QByteArray> macBytes(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 6)
        return std::nullopt;
    QByteArray bytes;
    for (const QString &part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (!ok || part.size() != 2 || value > 0xFF)
            return std::nullopt;
        bytes.append(char(value));
    }
    if (bytes == QByteArray(6, '\0'))
        return std::nullopt;
    return bytes;
}

} // namespace

QString primaryMacAddressFrom(const std::optional<QList<KCInterfaceInfo>> &interfaces)
{
    if (!interfaces)
        return QLatin1String(kMachineIdentityFallback);
    // The primary interface is the Ethernet interface the system numbered
    // first: it stays the same across restarts and cable changes.
    const KCInterfaceInfo *primary = nullptr;
    QByteArray address;
    for (const KCInterfaceInfo &info : *interfaces) {
        if (!info.isEthernet || info.isLoopback)
            continue;
        const auto bytes = macBytes(info.hardwareAddress);
        if (!bytes)
            continue;
        if (!primary || info.index < primary->index) {
            primary = &info;
            address = *bytes;
        }
    }
    if (!primary)
        return QStringLiteral("0x%1").arg(kNoInterfaceStatus, 8, 16, QLatin1Char('0'));
    return QString::fromLatin1(address.toHex(':'));
}

QString GetPrimaryMacAddress()
{
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    if (all.isEmpty())
        return primaryMacAddressFrom(std::nullopt);
    QList<KCInterfaceInfo> infos;
    for (const QNetworkInterface &interface : all) {
        infos.append({interface.type() == QNetworkInterface::Ethernet,
                      interface.flags().testFlag(QNetworkInterface::IsLoopBack), interface.hardwareAddress(),
                      interface.index()});
    }
    return primaryMacAddressFrom(infos);
}

} // namespace parley
