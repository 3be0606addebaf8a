#pragma once

// The kit's own alert dialogs behind KCAlerts(): a request with a folded detail
// and only OK shows a KCAlertWindow; a request with a check box and the buttons
// OK and Cancel shows a SwitchOptionAlertController; a request with a password
// field a KCTextInputAlert; a request with an accessory text or accessory
// buttons the same alert without the field; any other a message box with the
// request's buttons.

#include "KCAlertPresenter.h"

class QDialog;

enum class KCAlertDialogKind { AlertWindow, SwitchOption, TextInput, Accessory, MessageBox };

// Which dialog shows the request.
KCAlertDialogKind KCAlertDialogKindFor(const KCAlertRequest &request);

class KCDialogAlertPresenter final : public KCAlertPresenter
{
public:
    KCAlertAnswer ask(const KCAlertRequest &request) override;
    void show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done) override;

    // The dialog for the request, filled and not yet shown, and the function
    // that reads its answer once it has finished.
    struct Dialog {
        QDialog *dialog = nullptr;
        std::function<KCAlertAnswer()> answer;
    };
    static Dialog makeDialog(const KCAlertRequest &request);
};
