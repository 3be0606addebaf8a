#include "KCAlertPresenter.h"

#include "Utils/KCUtilities.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

// The kit's own dialogs: a message box with the request's buttons, check box
// and folded detail.
class DialogAlertPresenter final : public KCAlertPresenter
{
public:
    KCAlertAnswer ask(const KCAlertRequest &request) override
    {
        QMessageBox box(request.parent);
        QList<QAbstractButton *> buttons;
        QCheckBox *check = fill(box, request, buttons);
        if (request.parent)
            box.setWindowModality(Qt::WindowModal);
        box.exec();
        return answerOf(box, buttons, check);
    }

    void show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done) override
    {
        auto *box = new QMessageBox(request.parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        auto buttons = std::make_shared<QList<QAbstractButton *>>();
        QCheckBox *check = fill(*box, request, *buttons);
        box->setModal(false);
        QObject::connect(box, &QMessageBox::finished, box, [box, buttons, check, done = std::move(done)] {
            if (done)
                done(answerOf(*box, *buttons, check));
        });
        box->show();
    }

private:
    static QCheckBox *fill(QMessageBox &box, const KCAlertRequest &request, QList<QAbstractButton *> &buttons)
    {
        switch (request.style) {
        case KCAlertRequest::Style::Informational: box.setIcon(QMessageBox::Information); break;
        case KCAlertRequest::Style::Warning: box.setIcon(QMessageBox::Warning); break;
        case KCAlertRequest::Style::Critical: box.setIcon(QMessageBox::Critical); break;
        }
        box.setTextFormat(Qt::PlainText);
        box.setText(request.title);
        box.setInformativeText(request.message);
        if (!request.detail.isEmpty())
            box.setDetailedText(request.detail);
        const QStringList titles = request.buttons.isEmpty() ? QStringList{parley::KCLocalizedString(QStringLiteral("OK"))}
                                                             : request.buttons;
        for (int i = 0; i < titles.size(); ++i) {
            QPushButton *button = box.addButton(titles.at(i), QMessageBox::AcceptRole);
            buttons.append(button);
            if (i == 0)
                box.setDefaultButton(button);
        }
        QCheckBox *check = nullptr;
        if (!request.checkBoxText.isEmpty()) {
            check = new QCheckBox(request.checkBoxText, &box);
            check->setChecked(request.checkBoxChecked);
            box.setCheckBox(check);
        }
        return check;
    }

    static KCAlertAnswer answerOf(const QMessageBox &box, const QList<QAbstractButton *> &buttons, const QCheckBox *check)
    {
        KCAlertAnswer answer;
        answer.button = int(buttons.indexOf(box.clickedButton()));
        answer.checked = check && check->isChecked();
        return answer;
    }
};

KCAlertPresenter *gInstalled = nullptr;

} // namespace

KCAlertPresenter &KCAlerts()
{
    static DialogAlertPresenter dialogs;
    return gInstalled ? *gInstalled : dialogs;
}

void KCSetAlertPresenter(KCAlertPresenter *presenter) { gInstalled = presenter; }
