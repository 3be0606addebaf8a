#include "KCShellHooks.h"

#include "Log.h"

#include <atomic>

namespace parley {

namespace {

std::atomic<KCShellHooks *> gInstalled{nullptr};

} // namespace

void KCShellHooks::showWarningAlert(const QString &title, const QString &message)
{
    plLog(title + QLatin1String(": ") + message);
}

KCShellHooks &KCCurrentShellHooks()
{
    static KCShellHooks fallback;
    KCShellHooks *installed = gInstalled.load();
    return installed ? *installed : fallback;
}

void KCSetShellHooks(KCShellHooks *hooks)
{
    gInstalled.store(hooks);
}

} // namespace parley
