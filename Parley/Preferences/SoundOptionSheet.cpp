#include "SoundOptionSheet.h"

#include "PrefsWidgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace parley {

namespace {

const char *const kEventTitleKeys[] = {"PlaySoundBuddy", "PlaySoundMemo", "PlaySoundFileTrans",
                                       "PlaySoundLogin", "PlaySoundMessage", "PlaySoundMiniNook"};

} // namespace

QStringList SoundOptionSheet::eventKeys()
{
    return {QStringLiteral("soundForBuddy"), QStringLiteral("soundForMemo"), QStringLiteral("soundForFileTransfer"),
            QStringLiteral("soundForLogin"), QStringLiteral("soundForMessage"), QStringLiteral("soundForMiniNook")};
}

SoundOptionSheet::SoundOptionSheet(QWidget *parent) : QDialog(parent)
{
    setWindowModality(Qt::WindowModal);
    mUseSoundOptionButton = new QCheckBox(this);
    for (int i = 0; i < 6; ++i)
        mEventButtons << new QCheckBox(this);
    mCancelSoundPanelButton = new QPushButton(this);
    mOKSoundPanelButton = new QPushButton(this);
    mOKSoundPanelButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mUseSoundOptionButton);
    for (QCheckBox *box : std::as_const(mEventButtons)) {
        auto *row = new QHBoxLayout;
        row->addSpacing(20);
        row->addWidget(box);
        layout->addLayout(row);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(mCancelSoundPanelButton);
    buttons->addWidget(mOKSoundPanelButton);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(mOKSoundPanelButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(mCancelSoundPanelButton, &QPushButton::clicked, this, &SoundOptionSheet::cancelSoundOption);
}

void SoundOptionSheet::setTexts()
{
    setWindowTitle(PrefsWidgets::text("SoundOptionTitle"));
    mUseSoundOptionButton->setText(PrefsWidgets::text("UseSoundForAlert"));
    for (int i = 0; i < mEventButtons.size(); ++i)
        mEventButtons[i]->setText(PrefsWidgets::text(kEventTitleKeys[i]));
    mCancelSoundPanelButton->setText(PrefsWidgets::text("Cancel"));
    mOKSoundPanelButton->setText(PrefsWidgets::text("OK"));
}

void SoundOptionSheet::begin()
{
    mStatesAtBegin = {mUseSoundOptionButton->isChecked()};
    for (QCheckBox *box : std::as_const(mEventButtons))
        mStatesAtBegin << box->isChecked();
    open();
}

void SoundOptionSheet::cancelSoundOption()
{
    // Cancel means what it says: the boxes go back to how the sheet found them.
    if (mStatesAtBegin.size() == mEventButtons.size() + 1) {
        mUseSoundOptionButton->setChecked(mStatesAtBegin.first());
        for (int i = 0; i < mEventButtons.size(); ++i)
            mEventButtons[i]->setChecked(mStatesAtBegin.at(i + 1));
    }
    done(1);
}

} // namespace parley
