#include "NotificationPane.h"

#include "PrefsWidgets.h"
#include "SoundOptionRules.h"
#include "SoundOptionSheet.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace parley {

namespace {

const QString kShowMemoIndex = QStringLiteral("showMemoIndex");
// Global: the sound file the user chose.
constexpr char kSoundFilePath[] = "soundFilePath";

void applyBoxes(const SoundBoxes &boxes, QCheckBox *useSound, SoundOptionSheet *sheet)
{
    useSound->setChecked(boxes.useSound);
    sheet->optionButton()->setChecked(boxes.option);
    for (QCheckBox *box : sheet->eventButtons())
        box->setEnabled(boxes.eventsEnabled);
}

} // namespace

NotificationPane::NotificationPane(PrefsContext &context, QWidget *parent) : PrefsPane(context, parent)
{
    mNotificationMsg = PrefsWidgets::titleLabel(this);
    mRequestBox = new QGroupBox(this);
    mShowAlertButton = new QCheckBox(mRequestBox);
    mShowMessageButton = new QCheckBox(mRequestBox);
    mShowBounceButton = new QCheckBox(mRequestBox);
    mMemoBox = new QGroupBox(this);
    mReceiveMemoField = new QLabel(mMemoBox);
    mMemoActionPopupButton = new QComboBox(mMemoBox);
    mShowMailButton = new QCheckBox(mMemoBox);
    mSoundMsg = PrefsWidgets::titleLabel(this);
    mUseSoundButton = new QCheckBox(this);
    mAdvancedButton = new QPushButton(this);
    mSoundOptionPanel = new SoundOptionSheet(this);
    mSoundFileField = new QLabel(this);
    mSoundFileField->setObjectName(QStringLiteral("soundFileField"));
    mSoundFileField->setTextFormat(Qt::PlainText);
    mSoundFileButton = new QPushButton(this);
    mSoundFileButton->setObjectName(QStringLiteral("soundFileButton"));

    auto *requestLayout = new QVBoxLayout(mRequestBox);
    requestLayout->addWidget(mShowAlertButton);
    requestLayout->addWidget(mShowMessageButton);
    requestLayout->addWidget(mShowBounceButton);
    auto *memoLayout = new QVBoxLayout(mMemoBox);
    auto *memoRow = new QHBoxLayout;
    memoRow->addWidget(mReceiveMemoField);
    memoRow->addWidget(mMemoActionPopupButton);
    memoRow->addStretch(1);
    memoLayout->addLayout(memoRow);
    memoLayout->addWidget(mShowMailButton);
    auto *soundRow = new QHBoxLayout;
    soundRow->addWidget(mUseSoundButton);
    soundRow->addStretch(1);
    soundRow->addWidget(mAdvancedButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mNotificationMsg);
    layout->addWidget(mRequestBox);
    layout->addWidget(mMemoBox);
    layout->addWidget(mSoundMsg);
    layout->addLayout(soundRow);
    auto *soundFileRow = new QHBoxLayout;
    soundFileRow->addWidget(mSoundFileField, 1);
    soundFileRow->addWidget(mSoundFileButton);
    layout->addLayout(soundFileRow);
    layout->addStretch(1);

    connect(mUseSoundButton, &QCheckBox::clicked, this, &NotificationPane::toggleUseSound);
    connect(mSoundOptionPanel->optionButton(), &QCheckBox::clicked, this, &NotificationPane::toggleSoundOption);
    connect(mSoundOptionPanel, &QDialog::finished, this, &NotificationPane::toggleSoundOption);
    connect(mAdvancedButton, &QPushButton::clicked, this, &NotificationPane::showSoundOption);
    connect(mSoundFileButton, &QPushButton::clicked, this, &NotificationPane::searchSoundFileAction);
}

void NotificationPane::read()
{
    mNotificationMsg->setText(PrefsWidgets::text("Notification"));
    mRequestBox->setTitle(PrefsWidgets::text("RequestConnectAndOthers"));
    mShowAlertButton->setText(PrefsWidgets::text("ShowOnlineMsg"));
    mShowMessageButton->setText(PrefsWidgets::text("ShowChatAlarmOption"));
    mShowBounceButton->setText(PrefsWidgets::text("ShowBounceAlarmOption"));
    mMemoBox->setTitle(PrefsWidgets::text("ReceiveMemo"));
    mReceiveMemoField->setText(PrefsWidgets::text("ReceiveMemoMsg"));
    mShowMailButton->setText(PrefsWidgets::text("ReceiveMailMsg"));
    mSoundMsg->setText(PrefsWidgets::text("Sound"));
    mUseSoundButton->setText(PrefsWidgets::text("UseSound"));
    mAdvancedButton->setText(PrefsWidgets::text("Advanced"));
    mSoundOptionPanel->setTexts();
    mSoundFileButton->setText(PrefsWidgets::text("SelectSoundFile"));
    const QString soundFile = UserDefaults::standardUserDefaults().stringForKey(QLatin1String(kSoundFilePath));
    mSoundFileField->setText(soundFile.isEmpty() ? QString() : QFileInfo(soundFile).fileName());
    mSoundFileField->setToolTip(soundFile);

    const bool signedIn = mContext.signedIn;
    QList<QWidget *> controls{mShowAlertButton, mShowMessageButton, mShowBounceButton, mMemoActionPopupButton,
                              mShowMailButton,  mUseSoundButton,    mSoundOptionPanel->optionButton(),
                              mAdvancedButton};
    for (QCheckBox *box : mSoundOptionPanel->eventButtons())
        controls << box;
    for (QWidget *control : std::as_const(controls))
        control->setEnabled(signedIn);
    if (!signedIn) {
        mMemoActionPopupButton->clear();
        return;
    }
    const QVariantMap &prefs = mContext.userPrefs;
    const auto flag = [&prefs](const char *key) { return prefs.value(QLatin1String(key)).toBool(); };
    mShowAlertButton->setChecked(flag("showAlertWhenConnection"));
    mShowMessageButton->setChecked(flag("showMessage"));
    mShowBounceButton->setChecked(flag("showBounce"));
    mShowMailButton->setChecked(flag("showMail"));
    mUseSoundButton->setChecked(flag("useSound"));
    mSoundOptionPanel->optionButton()->setChecked(flag("useAllSound"));
    const QStringList eventKeys = SoundOptionSheet::eventKeys();
    for (int i = 0; i < eventKeys.size(); ++i)
        mSoundOptionPanel->eventButtons().at(i)->setChecked(prefs.value(eventKeys.at(i)).toBool());
    PrefsWidgets::fillPopup(mMemoActionPopupButton,
                            {QStringLiteral("NotifyMessage"), QStringLiteral("ShowMemoWindow"), QStringLiteral("NotNotify")});
    mMemoActionPopupButton->setCurrentIndex(prefs.value(kShowMemoIndex).toInt());
    toggleUseSound();
}

void NotificationPane::save()
{
    QVariantMap &prefs = mContext.userPrefs;
    prefs.insert(QStringLiteral("showAlertWhenConnection"), mShowAlertButton->isChecked());
    prefs.insert(QStringLiteral("showMessage"), mShowMessageButton->isChecked());
    prefs.insert(QStringLiteral("showBounce"), mShowBounceButton->isChecked());
    prefs.insert(QStringLiteral("showMail"), mShowMailButton->isChecked());
    prefs.insert(QStringLiteral("useSound"), mUseSoundButton->isChecked());
    prefs.insert(QStringLiteral("useAllSound"), mSoundOptionPanel->optionButton()->isChecked());
    const QStringList eventKeys = SoundOptionSheet::eventKeys();
    for (int i = 0; i < eventKeys.size(); ++i)
        prefs.insert(eventKeys.at(i), mSoundOptionPanel->eventButtons().at(i)->isChecked());
    prefs.insert(kShowMemoIndex, mMemoActionPopupButton->currentIndex());
}

void NotificationPane::toggleUseSound()
{
    applyBoxes(SoundOptionRules::afterUseSound(mUseSoundButton->isChecked()), mUseSoundButton, mSoundOptionPanel);
}

void NotificationPane::toggleSoundOption()
{
    applyBoxes(SoundOptionRules::afterOption(mSoundOptionPanel->optionButton()->isChecked()), mUseSoundButton,
               mSoundOptionPanel);
}

void NotificationPane::showSoundOption() { mSoundOptionPanel->begin(); }

void NotificationPane::searchSoundFileAction()
{
    if (mSoundFileChooser)
        return;
    auto *chooser = new QFileDialog(window());
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setNameFilter(QStringLiteral("WAV (*.wav *.WAV)"));
    chooser->setWindowModality(Qt::ApplicationModal);
    // The chosen file's folder, else the music folder or the home folder
    // (not the folder the program was started from).
    const QString current = UserDefaults::standardUserDefaults().stringForKey(QLatin1String(kSoundFilePath));
    QString start = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();
    chooser->setDirectory(start);
    mSoundFileChooser = chooser;
    connect(chooser, &QFileDialog::finished, this, [this, chooser](int result) {
        if (result != QDialog::Accepted || chooser->selectedFiles().isEmpty())
            return;
        UserDefaults::standardUserDefaults().setObject(QDir::cleanPath(chooser->selectedFiles().constFirst()),
                                                       QLatin1String(kSoundFilePath));
        // Read again from what is being edited, so that no unsaved box is lost.
        if (mContext.signedIn)
            save();
        read();
    });
    chooser->show();
}

} // namespace parley
