#include "KCDialogAlertPresenter.h"

#include "ImageRegistry.h"
#include "KCAlertWindow.h"
#include "KCTextInputAlert.h"
#include "SwitchOptionAlertController.h"
#include "Utils/KCUtilities.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>

using parley::KCLocalizedString;

namespace {

QString ok() { return KCLocalizedString(QStringLiteral("OK")); }
QString cancel() { return KCLocalizedString(QStringLiteral("Cancel")); }

QStyle::StandardPixmap iconOf(KCAlertRequest::Style style)
{
    switch (style) {
    case KCAlertRequest::Style::Informational: return QStyle::SP_MessageBoxInformation;
    case KCAlertRequest::Style::Warning: return QStyle::SP_MessageBoxWarning;
    case KCAlertRequest::Style::Critical: return QStyle::SP_MessageBoxCritical;
    }
    return QStyle::SP_MessageBoxInformation;
}

QString headlineOf(const KCAlertRequest &request)
{
    if (request.title.isEmpty())
        return request.message;
    if (request.message.isEmpty())
        return request.title;
    return request.title + QStringLiteral("\n\n") + request.message;
}

// The request's own picture, or nothing when it names none (or a missing one).
QPixmap ownIcon(const KCAlertRequest &request)
{
    return request.iconName.isEmpty() ? QPixmap() : ImageRegistry::pixmap(request.iconName);
}

KCDialogAlertPresenter::Dialog alertWindow(const KCAlertRequest &request)
{
    auto *window = new KCAlertWindow(request.parent);
    // Warnings keep the alert's own picture.
    if (const QPixmap icon = ownIcon(request); !icon.isNull())
        window->setIcon(icon);
    else if (request.style != KCAlertRequest::Style::Warning)
        window->setIcon(window->style()->standardIcon(iconOf(request.style)).pixmap(48, 48));
    window->setMessageString(headlineOf(request), request.detail);
    QPointer<KCAlertWindow> guard(window);
    return {window, [guard] {
                KCAlertAnswer answer;
                answer.button = guard && guard->result() == QDialog::Accepted ? 0 : -1;
                return answer;
            }};
}

KCDialogAlertPresenter::Dialog switchOption(const KCAlertRequest &request)
{
    auto *panel = new SwitchOptionAlertController(request.parent);
    panel->setTitle(request.title);
    panel->setMessage(request.message);
    panel->setOptionMessage(request.checkBoxText, request.checkBoxChecked);
    QPointer<SwitchOptionAlertController> guard(panel);
    return {panel, [guard] {
                KCAlertAnswer answer;
                if (!guard)
                    return answer;
                answer.checked = guard->optionChecked();
                switch (guard->result()) {
                case SwitchOptionAlertController::OKCode: answer.button = 0; break;
                case SwitchOptionAlertController::CancelCode: answer.button = 1; break;
                default: answer.button = -1; break;
                }
                return answer;
            }};
}

KCDialogAlertPresenter::Dialog messageBox(const KCAlertRequest &request)
{
    auto *box = new QMessageBox(request.parent);
    box->setIcon(request.style == KCAlertRequest::Style::Critical  ? QMessageBox::Critical
                 : request.style == KCAlertRequest::Style::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information);
    if (const QPixmap icon = ownIcon(request); !icon.isNull())
        box->setIconPixmap(icon);
    box->setTextFormat(Qt::PlainText);
    box->setText(request.title);
    box->setInformativeText(request.message);
    if (!request.detail.isEmpty())
        box->setDetailedText(request.detail);
    const QStringList titles = request.buttons.isEmpty() ? QStringList{ok()} : request.buttons;
    QList<QPointer<QAbstractButton>> buttons;
    for (int i = 0; i < titles.size(); ++i) {
        QPushButton *button = box->addButton(titles.at(i), QMessageBox::AcceptRole);
        buttons.append(button);
        if (i == 0)
            box->setDefaultButton(button);
    }
    QPointer<QCheckBox> check;
    if (!request.checkBoxText.isEmpty()) {
        check = new QCheckBox(request.checkBoxText, box);
        check->setChecked(request.checkBoxChecked);
        box->setCheckBox(check);
    }
    QPointer<QMessageBox> guard(box);
    return {box, [guard, buttons, check] {
                KCAlertAnswer answer;
                if (!guard)
                    return answer;
                for (int i = 0; i < buttons.size(); ++i) {
                    if (buttons.at(i) && buttons.at(i) == guard->clickedButton())
                        answer.button = i;
                }
                answer.checked = check && check->isChecked();
                return answer;
            }};
}

KCDialogAlertPresenter::Dialog textInput(const KCAlertRequest &request)
{
    auto *alert = new KCTextInputAlert(request.parent);
    alert->setTitle(request.title);
    alert->setMessage(request.message);
    alert->setTextFieldShown(request.secureTextField);
    alert->setFieldTexts(request.textFieldMessage, request.textFieldLabel);
    alert->setAccessoryHtml(request.accessoryHtml);
    for (const KCAlertRequest::AccessoryButton &button : request.accessoryButtons)
        alert->addAccessoryButton(button.title, button.action);
    if (!request.checkBoxText.isEmpty())
        alert->setCheckBox(request.checkBoxText, request.checkBoxChecked);
    if (const QPixmap icon = ownIcon(request); !icon.isNull())
        alert->setImage(icon);
    alert->setButtons(request.buttons.isEmpty() ? QStringList{ok()} : request.buttons);
    QPointer<KCTextInputAlert> guard(alert);
    return {alert, [guard] {
                KCAlertAnswer answer;
                if (!guard)
                    return answer;
                answer.button = guard->clickedButton();
                answer.text = guard->text();
                answer.checked = guard->isChecked();
                return answer;
            }};
}

} // namespace

KCAlertDialogKind KCAlertDialogKindFor(const KCAlertRequest &request)
{
    if (request.secureTextField)
        return KCAlertDialogKind::TextInput;
    if (!request.accessoryHtml.isEmpty() || !request.accessoryButtons.isEmpty())
        return KCAlertDialogKind::Accessory;
    const bool onlyOK = request.buttons.isEmpty() || request.buttons == QStringList{ok()};
    if (request.checkBoxText.isEmpty() && !request.detail.isEmpty() && onlyOK)
        return KCAlertDialogKind::AlertWindow;
    if (!request.checkBoxText.isEmpty() && request.detail.isEmpty() && request.buttons == QStringList{ok(), cancel()})
        return KCAlertDialogKind::SwitchOption;
    return KCAlertDialogKind::MessageBox;
}

KCDialogAlertPresenter::Dialog KCDialogAlertPresenter::makeDialog(const KCAlertRequest &request)
{
    switch (KCAlertDialogKindFor(request)) {
    case KCAlertDialogKind::AlertWindow: return alertWindow(request);
    case KCAlertDialogKind::SwitchOption: return switchOption(request);
    case KCAlertDialogKind::TextInput:
    case KCAlertDialogKind::Accessory: return textInput(request);
    case KCAlertDialogKind::MessageBox: break;
    }
    return messageBox(request);
}

KCAlertAnswer KCDialogAlertPresenter::ask(const KCAlertRequest &request)
{
    Dialog made = makeDialog(request);
    QPointer<QDialog> dialog(made.dialog);
    if (request.parent)
        dialog->setWindowModality(Qt::WindowModal);
    dialog->exec();
    const KCAlertAnswer answer = made.answer();
    delete dialog.data();
    return answer;
}

void KCDialogAlertPresenter::show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done)
{
    Dialog made = makeDialog(request);
    made.dialog->setAttribute(Qt::WA_DeleteOnClose);
    made.dialog->setModal(false);
    QObject::connect(made.dialog, &QDialog::finished, made.dialog,
                     [answer = made.answer, done = std::move(done)] {
                         if (done)
                             done(answer());
                     });
    made.dialog->show();
}
