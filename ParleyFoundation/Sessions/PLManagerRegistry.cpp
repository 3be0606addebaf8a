#include "PLManagerRegistry.h"

#include "PLRecordingManagers.h"

#include <atomic>

namespace parley {

namespace {
std::atomic<PLP2PSessionManagerInterface *> gP2P{nullptr};
std::atomic<PLCookieManagerInterface *> gCookie{nullptr};
std::atomic<PLChatSessionManagerInterface *> gChat{nullptr};
std::atomic<PLFileTransferManagerInterface *> gFileTransfer{nullptr};
std::atomic<PLMailTransferManagerInterface *> gMail{nullptr};

template <typename Interface> Interface &installedOr(const std::atomic<Interface *> &installed)
{
    Interface *manager = installed.load(std::memory_order_acquire);
    return manager ? *manager : static_cast<Interface &>(PLManagerRegistry::standIn());
}
} // namespace

PLRecordingManagers &PLManagerRegistry::standIn()
{
    static PLRecordingManagers managers;
    return managers;
}

PLP2PSessionManagerInterface &PLManagerRegistry::p2pSessionManager() { return installedOr(gP2P); }
PLCookieManagerInterface &PLManagerRegistry::cookieManager() { return installedOr(gCookie); }
PLChatSessionManagerInterface &PLManagerRegistry::chatSessionManager() { return installedOr(gChat); }
PLFileTransferManagerInterface &PLManagerRegistry::fileTransferManager() { return installedOr(gFileTransfer); }
PLMailTransferManagerInterface &PLManagerRegistry::mailTransferManager() { return installedOr(gMail); }

void PLManagerRegistry::setP2PSessionManager(PLP2PSessionManagerInterface *manager) { gP2P.store(manager); }
void PLManagerRegistry::setCookieManager(PLCookieManagerInterface *manager) { gCookie.store(manager); }
void PLManagerRegistry::setChatSessionManager(PLChatSessionManagerInterface *manager) { gChat.store(manager); }
void PLManagerRegistry::setFileTransferManager(PLFileTransferManagerInterface *manager) { gFileTransfer.store(manager); }
void PLManagerRegistry::setMailTransferManager(PLMailTransferManagerInterface *manager) { gMail.store(manager); }

} // namespace parley
