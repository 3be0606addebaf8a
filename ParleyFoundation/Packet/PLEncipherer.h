#pragma once

// The one crypto operation the sign-in packets need: enciphering a text under
// the session key that the key exchange exported. The crypto glue installs its
// implementation once at start-up; tests install a double.

#include <QString>

namespace parley {

class PLEncipherer
{
public:
    virtual ~PLEncipherer();

    // The enciphered form of `text` under the session named by `sessionKey`;
    // a null string when it cannot be enciphered.
    virtual QString enCryptMessage(const QString &text, const QString &sessionKey) = 0;

    // The process-wide instance, or null before one is installed. Not owned:
    // the installer keeps it alive while packets may use it.
    static PLEncipherer *shared();
    static void setShared(PLEncipherer *encipherer);

    // `text` enciphered by the shared instance; a null string, with the nil
    // guard logged, when the key is missing, no instance is installed or the
    // enciphering yields nothing.
    static QString encipher(const QString &text, const QString &sessionKey);
};

} // namespace parley
