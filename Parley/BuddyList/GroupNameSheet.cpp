#include "GroupNameSheet.h"

#include "KCDefaultFont.h"
#include "Utils/KCUtilities.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace parley {

GroupNameSheet::GroupNameSheet(const QString &messageKey, const QString &name, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GroupNameSheet"));
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(GetDefaultFontOfSize(11));
    setWindowTitle(KCLocalizedString(QStringLiteral("ParleyTitle")));
    auto *layout = new QVBoxLayout(this);
    mMessage = new QLabel(KCLocalizedString(messageKey), this);
    mMessage->setWordWrap(true);
    mField = new QLineEdit(name, this);
    mField->setObjectName(QStringLiteral("groupNameField"));
    mField->selectAll();
    mOK = new QPushButton(KCLocalizedString(QStringLiteral("OK")), this);
    mOK->setDefault(true);
    mCancel = new QPushButton(KCLocalizedString(QStringLiteral("Cancel")), this);
    layout->addWidget(mMessage);
    layout->addWidget(mField);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mCancel);
    buttons->addWidget(mOK);
    layout->addLayout(buttons);
    connect(mOK, &QPushButton::clicked, this, &GroupNameSheet::okAction);
    connect(mCancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(300);
}

QString GroupNameSheet::name() const { return mField->text(); }

void GroupNameSheet::okAction()
{
    // A blank name keeps the sheet open.
    if (name().trimmed().isEmpty())
        return;
    accept();
}

} // namespace parley
