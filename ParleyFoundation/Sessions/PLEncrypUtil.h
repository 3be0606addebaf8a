#pragma once

// The client's one door to libcoffer3: the client side of the key exchange
// for the notification server and for chat rooms, the server certificate and
// host-name check (with the certificate alert when it fails), the table of
// agreed crypto sessions keyed by the exported session key, and message
// encryption under such a session.
//
// Both directions fail closed: a text that cannot be enciphered yields a null
// string (never the plain text), and one that cannot be deciphered yields no
// value (never the enciphered text passed on as if it were plain).

#include "Packet/PLEncipherer.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <optional>

class CNClientSession;

namespace parley {

class PLEncrypUtil : public PLEncipherer
{
public:
    static PLEncrypUtil &shared();
    // Installs the shared instance as the packets' encipherer.
    static void install();
    ~PLEncrypUtil() override;
    PLEncrypUtil(const PLEncrypUtil &) = delete;
    PLEncrypUtil &operator=(const PLEncrypUtil &) = delete;

    // The key exchange on the server's key information (Base64 text).
    // Answers {"size", "value": the exported session key} on success;
    // {"chat": bool, "error": -1} when the user stopped at the certificate
    // alert (or, for a chat room, it timed out); an empty map when the
    // exchange failed or the alert timed out for the notification server.
    QVariantMap encryptSessionKey(const QByteArray &serverKeyInfo, bool isChat);

    // Base64 text under the named session; null when the key is unknown or
    // the library fails.
    QString enCryptMessage(const QString &text, const QString &sessionKey) override;
    // The plain text; no value when the key is unknown or deciphering fails.
    std::optional<QString> deCryptMessage(const QString &text, const QString &sessionKey);
    // Forgets (and destroys) the session under the key; an unknown key does nothing.
    void clearSessionDicForSSK(const QString &sessionKey);
    bool hasSession(const QString &sessionKey) const;
    // The certificate chain (DER, server first) that the user last chose to
    // accept at the alert; the same chain is accepted again without asking.
    QList<QByteArray> acceptedChain() const;
    void forgetAcceptedChain();

private:
    PLEncrypUtil() = default;
    CNClientSession *sessionFor(const QString &sessionKey) const;

    mutable QMutex mMutex;
    QHash<QString, CNClientSession *> mClientSessionDic;
    QList<QByteArray> mAcceptedChain;
};

// The host-name check installed in every client session: valid when the name
// is the portal's domain or ends in "." followed by it (case ignored).
signed char VelaComVerifier(const char *hostName, void *context);
// The same check on a given domain.
bool isHostInPortalDomain(const QString &hostName, const QString &domain);

} // namespace parley
