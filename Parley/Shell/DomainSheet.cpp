#include "DomainSheet.h"

#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace parley::shell {

DomainSheet::DomainSheet(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DomainSheet"));
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    domainMsgField = new QLabel(this);
    domainMsgField->setWordWrap(true);
    domainField = new QLineEdit(this);
    domainField->setObjectName(QStringLiteral("domainField"));
    domainOKButton = new QPushButton(this);
    domainOKButton->setObjectName(QStringLiteral("domainOKButton"));
    domainOKButton->setDefault(true);
    domainCancelButton = new QPushButton(this);
    domainCancelButton->setObjectName(QStringLiteral("domainCancelButton"));
    layout->addWidget(domainMsgField);
    layout->addWidget(domainField);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(domainCancelButton);
    buttons->addWidget(domainOKButton);
    layout->addLayout(buttons);
    connect(domainOKButton, &QPushButton::clicked, this, &DomainSheet::addDomainAction);
    connect(domainCancelButton, &QPushButton::clicked, this, &DomainSheet::cancelDomainAction);
    resetDataAction();
}

void DomainSheet::resetDataAction()
{
    setWindowTitle(KCLocalizedString(QStringLiteral("ParleyTitle")));
    domainMsgField->setText(KCLocalizedString(QStringLiteral("ValidDomain")));
    domainOKButton->setText(KCLocalizedString(QStringLiteral("OK")));
    domainCancelButton->setText(KCLocalizedString(QStringLiteral("Cancel")));
    domainField->clear();
}

void DomainSheet::addDomainAction()
{
    // A domain is one word: a blank or an "@" would make a broken ID.
    const QString typed = domain();
    if (typed.isEmpty() || typed.contains(QLatin1Char('@')) || typed.contains(QRegularExpression(QStringLiteral("\\s")))) {
        plLog(QStringLiteral("error"));
        return;
    }
    done(1);
}

void DomainSheet::cancelDomainAction() { done(0); }

QString DomainSheet::domain() const { return domainField->text().trimmed(); }

} // namespace parley::shell
