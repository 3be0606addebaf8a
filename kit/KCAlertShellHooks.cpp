#include "KCAlertShellHooks.h"

#include "KCAlertPresenter.h"

void KCAlertShellHooks::showWarningAlert(const QString &title, const QString &message)
{
    KCAlertRequest request;
    request.key = QLatin1String(kAlertKey);
    request.title = title;
    request.message = message;
    request.style = KCAlertRequest::Style::Warning;
    KCAlerts().ask(request);
}
