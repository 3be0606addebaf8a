#include "GeneralPane.h"

#include "AutostartEntry.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "GeneralPaneRules.h"
#include "PrefsColorWell.h"
#include "PrefsEmoticonTextEdit.h"
#include "PrefsLanguage.h"
#include "PrefsSession.h"
#include "PrefsShell.h"
#include "PrefsWidgets.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>

namespace parley {

namespace {

const QString kDestinationPath = QStringLiteral("destinationPath");

QLabel *sectionLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return label;
}

} // namespace

GeneralPane::GeneralPane(PrefsContext &context, PrefsColorWell &colorWell, QWidget *parent)
    : PrefsPane(context, parent), mColorWell(colorWell)
{
    mGeneralMsgField = PrefsWidgets::titleLabel(this);
    mAutoStartButton = new QCheckBox(this);
    mShowEmoticonButton = new QCheckBox(this);
    mClickOptionMsgField = sectionLabel(this);
    mClickOptionPopupButton = new QComboBox(this);
    mReceivedFileMsgField = sectionLabel(this);
    mReceivedFileMsg2Field = PrefsWidgets::guideLabel(this);
    mReceivedFilePopupButton = new QComboBox(this);
    mReceivedFilePopupButton->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    mPersonalMsgField = sectionLabel(this);
    mPersonalMsg2Field = PrefsWidgets::guideLabel(this);
    mPersonalMessage = new PrefsEmoticonTextEdit(this);
    mPersonalMessage->setObjectName(QStringLiteral("displayName"));
    mGeneralEmoticonBtn = new QToolButton(this);
    mGeneralEmoticonBtn->setIcon(QIcon(QStringLiteral(":/parley/images/prefs_emoticon.png")));
    mStatusMsgField = sectionLabel(this);
    mCheckAwayButton = new QCheckBox(this);
    mIntervalTimeField = new QLineEdit(this);
    mIntervalTimeField->setMaximumWidth(48);
    mIntervalTimeField->setAlignment(Qt::AlignRight);
    mMinutesMsgField = new QLabel(this);
    mPrivacyMsgField = sectionLabel(this);
    mPrivacyMsg2Field = PrefsWidgets::guideLabel(this);
    mPrivacySettingButton = new QPushButton(this);
    mLanguageMsgField = sectionLabel(this);
    mLanguagePopupButton = new QComboBox(this);
    PrefsWidgets::fillPopup(mLanguagePopupButton, PrefsLanguage::titleKeys());

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 16, 20, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(mGeneralMsgField, row++, 0, 1, 2);
    grid->addWidget(mAutoStartButton, row++, 1);
    grid->addWidget(mShowEmoticonButton, row++, 1);
    grid->addWidget(mClickOptionMsgField, row, 0);
    grid->addWidget(mClickOptionPopupButton, row++, 1, Qt::AlignLeft);
    grid->addWidget(mReceivedFileMsgField, row, 0);
    grid->addWidget(mReceivedFilePopupButton, row++, 1, Qt::AlignLeft);
    grid->addWidget(mReceivedFileMsg2Field, row++, 1);
    grid->addWidget(mPersonalMsgField, row, 0);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(mPersonalMessage, 1);
    nameRow->addWidget(mGeneralEmoticonBtn, 0, Qt::AlignTop);
    grid->addLayout(nameRow, row++, 1);
    grid->addWidget(mPersonalMsg2Field, row++, 1);
    grid->addWidget(mStatusMsgField, row, 0);
    auto *awayRow = new QHBoxLayout;
    awayRow->addWidget(mCheckAwayButton);
    awayRow->addWidget(mIntervalTimeField);
    awayRow->addWidget(mMinutesMsgField);
    awayRow->addStretch(1);
    grid->addLayout(awayRow, row++, 1);
    grid->addWidget(mPrivacyMsgField, row, 0);
    grid->addWidget(mPrivacySettingButton, row++, 1, Qt::AlignLeft);
    grid->addWidget(mPrivacyMsg2Field, row++, 1);
    grid->addWidget(mLanguageMsgField, row, 0);
    grid->addWidget(mLanguagePopupButton, row++, 1, Qt::AlignLeft);
    grid->setRowStretch(row, 1);

    connect(mIntervalTimeField, &QLineEdit::textEdited, this, &GeneralPane::minutesEdited);
    connect(mPersonalMessage, &QTextEdit::textChanged, this, &GeneralPane::displayNameChanged);
    connect(mReceivedFilePopupButton, &QComboBox::activated, this, &GeneralPane::receivedFileActivated);
    connect(mGeneralEmoticonBtn, &QToolButton::clicked, this, [this] {
        emit emoticonPaletteRequested(mGeneralEmoticonBtn->mapToGlobal(QPoint(0, mGeneralEmoticonBtn->height() + 3)));
    });
    connect(mPrivacySettingButton, &QPushButton::clicked, this, [this] {
        if (mContext.shell)
            mContext.shell->showMyProfileSettings();
    });
}

void GeneralPane::read()
{
    mGeneralMsgField->setText(PrefsWidgets::text("General"));
    mAutoStartButton->setText(PrefsWidgets::text("AutoStart"));
    mShowEmoticonButton->setText(PrefsWidgets::text("ShowEmoticon"));
    mClickOptionMsgField->setText(PrefsWidgets::text("ClickOption"));
    mReceivedFileMsgField->setText(PrefsWidgets::text("ReceviedFiles"));
    mReceivedFileMsg2Field->setText(PrefsWidgets::text("ReceviedFilesGuide"));
    mPersonalMsgField->setText(PrefsWidgets::text("DisplayName"));
    mPersonalMsg2Field->setText(PrefsWidgets::text("DisplayNameGuide"));
    mStatusMsgField->setText(PrefsWidgets::text("Status"));
    mCheckAwayButton->setText(PrefsWidgets::text("ShowAwayGuide"));
    mMinutesMsgField->setText(PrefsWidgets::text("Minutes"));
    mPrivacyMsgField->setText(PrefsWidgets::text("PrivacySettings"));
    mPrivacyMsg2Field->setText(PrefsWidgets::text("PrivacySettingsGuide"));
    mPrivacySettingButton->setText(PrefsWidgets::text("PrivacySettingMsg"));
    mLanguageMsgField->setText(PrefsWidgets::text("LanguageSetting"));
    mGeneralEmoticonBtn->setToolTip(PrefsWidgets::text("InsertEmoticon"));
    mGeneralEmoticonBtn->setAccessibleName(PrefsWidgets::text("InsertEmoticon"));
    mPersonalMessage->setAccessibleName(PrefsWidgets::text("DisplayName"));
    mIntervalTimeField->setAccessibleName(PrefsWidgets::text("Minutes"));
    mAutoStartButton->setChecked(UserDefaults::standardUserDefaults().boolForKey(QStringLiteral("autoStart")));

    mLangIndex = PrefsLanguage::indexForLanguage(KCCurrentLanguage());
    if (mLangIndex) {
        PrefsWidgets::fillPopup(mLanguagePopupButton, PrefsLanguage::titleKeys());
        mLanguagePopupButton->setCurrentIndex(*mLangIndex);
        mLanguagePopupButton->setEnabled(true);
    } else {
        // A Korean interface never changes its language from here: the
        // pop-up shows the language in force and can't be used.
        mLanguagePopupButton->setPlaceholderText(PrefsWidgets::text("Korean"));
        mLanguagePopupButton->setCurrentIndex(-1);
        mLanguagePopupButton->setEnabled(false);
    }

    const bool signedIn = mContext.signedIn;
    mShowEmoticonButton->setEnabled(signedIn);
    mCheckAwayButton->setEnabled(signedIn);
    mPrivacySettingButton->setEnabled(signedIn);
    mGeneralEmoticonBtn->setEnabled(signedIn);
    mIntervalTimeField->setReadOnly(!signedIn);
    mPersonalMessage->setReadOnly(!signedIn);
    mClickOptionPopupButton->setEnabled(signedIn);
    mReceivedFilePopupButton->setEnabled(signedIn);
    if (!signedIn) {
        mClickOptionPopupButton->clear();
        mReceivedFilePopupButton->clear();
        return;
    }
    const QVariantMap &prefs = mContext.userPrefs;
    mShowEmoticonButton->setChecked(prefs.value(QStringLiteral("showEmoticon")).toBool());
    buildFileDestination();
    mPersonalMessage->setEmoticonString(PLMyInfoManager::sharedManager().nickName(),
                                        palette().color(QPalette::Text));
    mCheckAwayButton->setChecked(prefs.value(QStringLiteral("checkAway")).toBool());
    mIntervalTimeField->setText(QString::number(prefs.value(QStringLiteral("awayTimeInterval")).toInt()));
    PrefsWidgets::fillPopup(mClickOptionPopupButton, {QStringLiteral("DoChat"), QStringLiteral("SendMessage")});
    mClickOptionPopupButton->setCurrentIndex(prefs.value(QStringLiteral("clickOptionIndex")).toInt());
}

void GeneralPane::save()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(mAutoStartButton->isChecked(), QStringLiteral("autoStart"));
    AutostartEntry::apply(mAutoStartButton->isChecked());

    QVariantMap &prefs = mContext.userPrefs;
    prefs.insert(QStringLiteral("showEmoticon"), mShowEmoticonButton->isChecked());
    const QString nickName = mPersonalMessage->emoticonString();
    if (nickName != PLMyInfoManager::sharedManager().nickName() && mContext.session)
        mContext.session->setMyNickName(nickName);
    prefs.insert(QStringLiteral("checkAway"), mCheckAwayButton->isChecked());
    prefs.insert(QStringLiteral("awayTimeInterval"), mIntervalTimeField->text().toInt());
    prefs.insert(QStringLiteral("clickOptionIndex"), mClickOptionPopupButton->currentIndex());
    // The folder stored before this save, as the transfer manager's readers take it.
    PLFileTransferManager::sharedManager().setDownloadPath(PrefsManager::general_DownloadFolder());
}

int GeneralPane::selectedLanguageIndex() const { return mLanguagePopupButton->currentIndex(); }

bool GeneralPane::isAutoStartOn() const { return mAutoStartButton->isChecked(); }

void GeneralPane::buildFileDestination()
{
    mReceivedFilePopupButton->clear();
    const QString folder = mContext.userPrefs.value(kDestinationPath).toString();
    if (!folder.isEmpty()) {
        QFileIconProvider icons;
        const QIcon icon = icons.icon(QFileInfo(folder));
        mReceivedFilePopupButton->addItem(icon.pixmap(16, 16), QFileInfo(folder).fileName(), folder);
        mReceivedFilePopupButton->insertSeparator(1);
    }
    // Also without a folder yet, so that one can be chosen at all.
    mReceivedFilePopupButton->addItem(PrefsWidgets::text("OtherDestination"));
    mReceivedFilePopupButton->setCurrentIndex(0);
}

void GeneralPane::receivedFileActivated(int index)
{
    if (index == mReceivedFilePopupButton->count() - 1)
        selectDownloadPath();
}

void GeneralPane::selectDownloadPath()
{
    if (mFolderChooser)
        return;
    // The user's own folder, or the download folder when none is stored yet.
    QString start = mContext.userPrefs.value(kDestinationPath).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    auto *chooser = new QFileDialog(window(), QString(), start);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOption(QFileDialog::ShowDirsOnly);
    chooser->setWindowModality(Qt::WindowModal);
    mFolderChooser = chooser;
    connect(chooser, &QFileDialog::finished, this, [this, chooser](int result) {
        if (result == QDialog::Accepted && !chooser->selectedFiles().isEmpty())
            mContext.userPrefs.insert(kDestinationPath, QDir::cleanPath(chooser->selectedFiles().constFirst()));
        buildFileDestination();
    });
    chooser->open();
}

void GeneralPane::minutesEdited(const QString &text)
{
    if (const auto corrected = GeneralPaneRules::correctedMinutes(text))
        mIntervalTimeField->setText(*corrected);
}

void GeneralPane::displayNameChanged()
{
    if (mTruncating)
        return;
    const auto cut = GeneralPaneRules::truncatedDisplayName(mPersonalMessage->emoticonString());
    if (!cut)
        return;
    mTruncating = true;
    mPersonalMessage->setEmoticonString(*cut, mColorWell.color());
    mPersonalMessage->moveCursor(QTextCursor::End);
    mTruncating = false;
}

} // namespace parley
