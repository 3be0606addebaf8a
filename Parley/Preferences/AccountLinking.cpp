#include "AccountLinking.h"

#include <optional>

namespace parley {

namespace {

std::optional<qint32> parseTid(const QString &tid)
{
    bool ok = false;
    const qint32 value = tid.toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

} // namespace

AccountLinking::Press AccountLinking::pressLink(bool signedIn, bool linked, const QString &id,
                                                const QString &password) const
{
    if (mIsCPRFRWaiting || !signedIn)
        return Press::Ignore;
    if (linked)
        return Press::AskUnlink;
    if (id.isEmpty() || password.isEmpty())
        return Press::MissingFields;
    return Press::Link;
}

void AccountLinking::requested(Service service, qint32 tid)
{
    (service == Service::Orchard ? mOrchardTID : mVelaTID) = tid;
    // Only a request that went out is waited for; otherwise the button would
    // stay dead until the window closes.
    if (tid != -1)
        mIsCPRFRWaiting = true;
}

void AccountLinking::linkRequested(Service service, qint32 tid)
{
    if (service == Service::Vela)
        mIsCoupling = true;
    requested(service, tid);
}

void AccountLinking::unlinkRequested(Service service, qint32 tid)
{
    if (service == Service::Vela)
        mIsCoupling = false;
    requested(service, tid);
}

AccountLinking::Result AccountLinking::cprfResult(bool velaMode, bool signedIn, const QString &tid,
                                                  const QString &orcmn)
{
    // Any result ends the wait, whoever asked.
    mIsCPRFRWaiting = false;
    if (!signedIn)
        return {};
    const std::optional<qint32> number = parseTid(tid);
    if (!number)
        return {};
    Result result;
    if (velaMode) {
        if (*number != mOrchardTID && *number != 0)
            return {};
        result.handled = true;
        result.linked = !orcmn.isEmpty() && orcmn != QLatin1String("%00");
        result.alertKey = result.linked ? QStringLiteral("OrchardCoupleOKMsg") : QStringLiteral("OrchardCoupleCancelMsg");
        return result;
    }
    if (*number != mVelaTID && *number != 0)
        return {};
    result.handled = true;
    result.linked = mIsCoupling;
    // A result nobody here asked for changes the pane silently.
    if (*number != 0)
        result.alertKey = mIsCoupling ? QStringLiteral("OrchardCoupleOKMsg") : QStringLiteral("VelaCoupleCancelMsg");
    return result;
}

QString AccountLinking::errorReceived(const QString &tid, const QString &errorCode)
{
    const std::optional<qint32> number = parseTid(tid);
    if (!number)
        return {};
    if (*number == mOrchardTID) {
        mIsCPRFRWaiting = false;
        return {};
    }
    if (*number == mVelaTID && errorCode == QLatin1String("309")) {
        mIsCPRFRWaiting = false;
        return QStringLiteral("VelaComCoupleErrMsg");
    }
    return {};
}

} // namespace parley
