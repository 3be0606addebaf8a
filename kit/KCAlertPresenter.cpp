#include "KCAlertPresenter.h"

#include "KCDialogAlertPresenter.h"

namespace {

KCAlertPresenter *gInstalled = nullptr;

} // namespace

KCAlertPresenter &KCAlerts()
{
    static KCDialogAlertPresenter dialogs;
    return gInstalled ? *gInstalled : dialogs;
}

void KCSetAlertPresenter(KCAlertPresenter *presenter) { gInstalled = presenter; }
