#include "PLCertAlert.h"

#include <atomic>

namespace parley {

namespace {
std::atomic<PLCertAlert *> gAlert{nullptr};
std::atomic<bool> gAlertOpen{false};
} // namespace

PLCertAlert::~PLCertAlert() = default;

PLCertAlert *PLCertAlert::shared() { return gAlert.load(std::memory_order_acquire); }

void PLCertAlert::setShared(PLCertAlert *alert) { gAlert.store(alert, std::memory_order_release); }

int PLCertAlert::ask(const QString &message, const QList<QByteArray> &certificates, int code)
{
    PLCertAlert *alert = shared();
    if (!alert)
        return Stop;
    bool expected = false;
    if (!gAlertOpen.compare_exchange_strong(expected, true))
        return Stop;
    const int answer = alert->showWindowWithMessage(message, certificates, code);
    gAlertOpen.store(false);
    return answer;
}

} // namespace parley
