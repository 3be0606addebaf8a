#pragma once

// The Firewall pane's values: the proxy (kind 1 HTTP, 2 SOCKS4, 3 SOCKS5)
// and the peer-to-peer port, all global keys of the user defaults. Ports are
// stored as text; readers take text or numbers alike.

#include <QString>
#include <QVariantMap>

namespace parley {

struct FirewallForm {
    bool useProxy = false;
    int kind = 1;
    QString server;
    QString port;
    QString user;
    QString password;
    QString p2pPort;
};

class FirewallSettings
{
public:
    FirewallSettings() = delete;

    static constexpr char kDefaultP2PPort[] = "5004";

    // The global key of a kind's port ("ProxyPortHTTP" for any kind but 2 and 3).
    static QString portKey(int kind);
    // Whether a kind lets the user give a user name and a password.
    static bool takesCredentials(int kind);
    // The keys and values saving the form stores: the proxy goes off without
    // a server; only the chosen kind's port is written; a peer-to-peer port
    // that is no port number becomes 5004.
    static QVariantMap valuesToSave(const FirewallForm &form);
};

} // namespace parley
