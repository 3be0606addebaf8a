#include "PLEncipherer.h"

#include "Log.h"

#include <atomic>

namespace parley {

namespace {
std::atomic<PLEncipherer *> sharedEncipherer{nullptr};
}

PLEncipherer::~PLEncipherer() = default;

PLEncipherer *PLEncipherer::shared()
{
    return sharedEncipherer.load(std::memory_order_acquire);
}

void PLEncipherer::setShared(PLEncipherer *encipherer)
{
    sharedEncipherer.store(encipherer, std::memory_order_release);
}

QString PLEncipherer::encipher(const QString &text, const QString &sessionKey)
{
    // An empty key names no session.
    PL_GUARD_OBJECT(!sessionKey.isEmpty(), QString());
    PLEncipherer *encipherer = shared();
    PL_GUARD_OBJECT(encipherer, QString());
    const QString enciphered = encipherer->enCryptMessage(text, sessionKey);
    PL_GUARD_OBJECT(!enciphered.isEmpty(), QString());
    return enciphered;
}

} // namespace parley
