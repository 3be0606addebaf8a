#include "SwitchOptionAlertController.h"

#include "KCAlertWindow.h"
#include "Utils/KCUtilities.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using parley::KCLocalizedString;

SwitchOptionAlertController::SwitchOptionAlertController(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString());

    mImageView = new QLabel(this);
    mImageView->setPixmap(KCAlertIcon(this));
    mImageView->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    mTitleField = new QLabel(this);
    mTitleField->setTextFormat(Qt::PlainText);
    mTitleField->setWordWrap(true);
    QFont bold = mTitleField->font();
    bold.setBold(true);
    mTitleField->setFont(bold);
    mMessageField = new QLabel(this);
    mMessageField->setTextFormat(Qt::PlainText);
    mMessageField->setWordWrap(true);
    mMessageField->setMinimumWidth(300);
    mCheckButton = new QCheckBox(this);
    mCancelButton = new QPushButton(KCLocalizedString(QStringLiteral("Cancel")), this);
    mCancelButton->setAutoDefault(false);
    mOKButton = new QPushButton(KCLocalizedString(QStringLiteral("OK")), this);
    mOKButton->setDefault(true);

    connect(mCheckButton, &QCheckBox::toggled, this, [this](bool on) { mIsChecked = on; });
    connect(mOKButton, &QPushButton::clicked, this, &SwitchOptionAlertController::clickOK);
    connect(mCancelButton, &QPushButton::clicked, this, &SwitchOptionAlertController::clickCancel);

    auto *texts = new QVBoxLayout;
    texts->addWidget(mTitleField);
    texts->addWidget(mMessageField);
    texts->addSpacing(6);
    texts->addWidget(mCheckButton);
    auto *top = new QHBoxLayout;
    top->addWidget(mImageView, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mCancelButton);
    buttons->addWidget(mOKButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

int SwitchOptionAlertController::showAlertPanel(const QString &title, const QString &message,
                                                const QString &optionMessage, bool optionChecked, const QPixmap &image,
                                                QWidget *parent)
{
    SwitchOptionAlertController panel(parent);
    panel.setTitle(title);
    panel.setMessage(message);
    panel.setOptionMessage(optionMessage, optionChecked);
    panel.setImage(image);
    if (parent)
        panel.setWindowModality(Qt::WindowModal);
    panel.exec();
    return panel.answer();
}

void SwitchOptionAlertController::setTitle(const QString &title) { mTitleField->setText(title); }

void SwitchOptionAlertController::setMessage(const QString &message) { mMessageField->setText(message); }

void SwitchOptionAlertController::setOptionMessage(const QString &optionMessage, bool checked)
{
    mCheckButton->setText(optionMessage);
    mCheckButton->setChecked(checked);
    mIsChecked = checked;
}

void SwitchOptionAlertController::setImage(const QPixmap &image)
{
    if (!image.isNull())
        mImageView->setPixmap(image);
}

int SwitchOptionAlertController::answer() const
{
    if (!mIsResultOK)
        return Cancelled;
    return mIsChecked ? OKChecked : OKUnchecked;
}

void SwitchOptionAlertController::clickOK()
{
    mIsResultOK = true;
    done(OKCode);
}

void SwitchOptionAlertController::clickCancel()
{
    mIsResultOK = false;
    done(CancelCode);
}
