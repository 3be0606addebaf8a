#include "MessagePane.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "ChatSaveOption.h"
#include "PrefsColorWell.h"
#include "PrefsEmoticonTextEdit.h"
#include "PrefsSession.h"
#include "PrefsWidgets.h"
#include "Utils/PrefsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace parley {

namespace {

const QString kSaveDialogIndex = QStringLiteral("saveDialogIndex");

QColor colorFromPrefs()
{
    const PLRGBColor c = PrefsManager::msg_AbsentMsgFontColor();
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha));
}

} // namespace

MessagePane::MessagePane(PrefsContext &context, PrefsColorWell &colorWell, QWidget *parent)
    : PrefsPane(context, parent), mColorWell(colorWell)
{
    mMessageTitleMsgField = PrefsWidgets::titleLabel(this);
    mMsgBox = new QGroupBox(this);
    mShowMsgButton = new QCheckBox(mMsgBox);
    mShowAwayMsgButton = new QCheckBox(mMsgBox);
    mAwayMessage = new PrefsEmoticonTextEdit(mMsgBox);
    mAwayMessage->setObjectName(QStringLiteral("awayMessage"));
    mMemoEmoticonBtn = new QToolButton(mMsgBox);
    mMemoEmoticonBtn->setIcon(QIcon(QStringLiteral(":/parley/images/prefs_emoticon.png")));
    mMemoFontBtn = new QToolButton(mMsgBox);
    mDialogBox = new QGroupBox(this);
    mDialogMsgField = new QLabel(mDialogBox);
    mDialogPopupButton = new QComboBox(mDialogBox);

    auto *msgLayout = new QVBoxLayout(mMsgBox);
    msgLayout->addWidget(mShowMsgButton);
    msgLayout->addWidget(mShowAwayMsgButton);
    auto *textRow = new QHBoxLayout;
    textRow->addWidget(mAwayMessage, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(mMemoEmoticonBtn);
    buttons->addWidget(mMemoFontBtn);
    buttons->addStretch(1);
    textRow->addLayout(buttons);
    msgLayout->addLayout(textRow);
    auto *dialogLayout = new QHBoxLayout(mDialogBox);
    dialogLayout->addWidget(mDialogMsgField);
    dialogLayout->addWidget(mDialogPopupButton);
    dialogLayout->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mMessageTitleMsgField);
    layout->addWidget(mMsgBox);
    layout->addWidget(mDialogBox);
    layout->addStretch(1);

    connect(mShowMsgButton, &QCheckBox::clicked, this, &MessagePane::toggleAwayMessage);
    connect(mShowAwayMsgButton, &QCheckBox::clicked, this, &MessagePane::toggleAwayMessage);
    connect(mMemoFontBtn, &QToolButton::clicked, this, &MessagePane::showColorPanel);
    connect(&mColorWell, &PrefsColorWell::colorChanged, this, &MessagePane::fontColorChanged);
    connect(mMemoEmoticonBtn, &QToolButton::clicked, this, [this] {
        emit emoticonPaletteRequested(mMemoEmoticonBtn->mapToGlobal(QPoint(0, mMemoEmoticonBtn->height() + 3)));
    });
}

void MessagePane::read()
{
    mMessageTitleMsgField->setText(PrefsWidgets::text("Dialog"));
    mMsgBox->setTitle(PrefsWidgets::text("AwayMsg"));
    mShowMsgButton->setText(PrefsWidgets::text("ShowAwayMsg"));
    mShowAwayMsgButton->setText(PrefsWidgets::text("ShowBusyMsg"));
    mDialogBox->setTitle(PrefsWidgets::text("SaveDialog"));
    mDialogMsgField->setText(PrefsWidgets::text("AutoSaveMsg"));
    mMemoEmoticonBtn->setToolTip(PrefsWidgets::text("InsertEmoticon"));
    mMemoEmoticonBtn->setAccessibleName(PrefsWidgets::text("InsertEmoticon"));
    mMemoFontBtn->setToolTip(PrefsWidgets::text("AwayMessageColor"));
    mMemoFontBtn->setAccessibleName(PrefsWidgets::text("AwayMessageColor"));
    mAwayMessage->setAccessibleName(PrefsWidgets::text("AwayMsg"));

    const bool signedIn = mContext.signedIn;
    for (QWidget *control : {static_cast<QWidget *>(mShowMsgButton), static_cast<QWidget *>(mShowAwayMsgButton),
                             static_cast<QWidget *>(mDialogPopupButton), static_cast<QWidget *>(mMemoEmoticonBtn),
                             static_cast<QWidget *>(mMemoFontBtn)})
        control->setEnabled(signedIn);
    if (!signedIn) {
        mAwayMessage->setReadOnly(true);
        mDialogPopupButton->clear();
        updateColorButton();
        return;
    }
    const QVariantMap &prefs = mContext.userPrefs;
    mColorWell.setColor(colorFromPrefs());
    mShowMsgButton->setChecked(prefs.value(QStringLiteral("showAwayMsg")).toBool());
    mShowAwayMsgButton->setChecked(prefs.value(QStringLiteral("showBusyMsg")).toBool());
    toggleAwayMessage();
    mAwayMessage->setEmoticonString(prefs.value(QStringLiteral("mAwayMessage")).toString(), colorFromPrefs());
    updateColorButton();

    PrefsWidgets::fillPopup(mDialogPopupButton, {QStringLiteral("AutoSaveDialog"), QStringLiteral("NotAutoSaveDialog"),
                                                 QStringLiteral("ConfirmAutoSave")});
    const auto stored = PrefsManager::userPreferences();
    std::optional<int> storedIndex;
    if (stored && stored->contains(kSaveDialogIndex))
        storedIndex = stored->value(kSaveDialogIndex).toInt();
    const int index = ChatSaveOption::indexToShow(
        storedIndex, PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("chat_save_opt")));
    mContext.userPrefs.insert(kSaveDialogIndex, index);
    mDialogPopupButton->setCurrentIndex(index);
}

void MessagePane::save()
{
    QVariantMap &prefs = mContext.userPrefs;
    prefs.insert(QStringLiteral("showAwayMsg"), mShowMsgButton->isChecked());
    prefs.insert(QStringLiteral("showBusyMsg"), mShowAwayMsgButton->isChecked());
    prefs.insert(QStringLiteral("mAwayMessage"), mAwayMessage->emoticonString());
    const QColor color = mColorWell.color();
    prefs.insert(QStringLiteral("AbsentMessageFontColorR"), color.redF());
    prefs.insert(QStringLiteral("AbsentMessageFontColorG"), color.greenF());
    prefs.insert(QStringLiteral("AbsentMessageFontColorB"), color.blueF());

    const int chosen = mDialogPopupButton->currentIndex();
    const int index = chosen == 0 || chosen == 1 ? chosen : 2;
    prefs.insert(kSaveDialogIndex, index);
    if (const auto change = ChatSaveOption::profileChange(index, PrefsManager::msg_saveChatType())) {
        for (auto it = change->cbegin(); it != change->cend(); ++it)
            PLMyInfoManager::sharedManager().setProfileValue(it.value().toString(), it.key());
        if (mContext.session)
            mContext.session->setCPRF(*change, nullptr);
    }
}

void MessagePane::toggleAwayMessage()
{
    mAwayMessage->setReadOnly(!(mShowMsgButton->isChecked() || mShowAwayMsgButton->isChecked()));
}

void MessagePane::showColorPanel() { mColorWell.activate(window()); }

void MessagePane::fontColorChanged(const QColor &color)
{
    mAwayMessage->setTextColorOfAll(color);
    updateColorButton();
}

void MessagePane::updateColorButton()
{
    QPixmap swatch(16, 16);
    swatch.fill(mColorWell.color());
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(0, 0, 15, 15);
    painter.end();
    mMemoFontBtn->setIcon(swatch);
}

} // namespace parley
