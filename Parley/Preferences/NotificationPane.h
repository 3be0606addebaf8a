#pragma once

// The Notification pane: which events raise notices (buddy sign-in, chat
// messages, the bouncing icon, memos, mail) and which play sounds.

#include "PrefsPane.h"

#include <QFileDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace parley {

class SoundOptionSheet;

class NotificationPane : public PrefsPane
{
    Q_OBJECT
public:
    explicit NotificationPane(PrefsContext &context, QWidget *parent = nullptr);

    void read() override;
    void save() override;

    // The sound rule after the use-sound box or the option box changed.
    void toggleUseSound();
    void toggleSoundOption();
    // Opens the sheet of sound options.
    void showSoundOption();
    // Asks for a sound file (one ".wav" file); OK stores its path in the
    // global "soundFilePath" at once and reads the pane again.
    void searchSoundFileAction();
    QFileDialog *soundFileChooser() const { return mSoundFileChooser; }
    QPushButton *soundFileButton() const { return mSoundFileButton; }
    QLabel *soundFileField() const { return mSoundFileField; }

    QCheckBox *showAlertButton() const { return mShowAlertButton; }
    QCheckBox *showMessageButton() const { return mShowMessageButton; }
    QCheckBox *showBounceButton() const { return mShowBounceButton; }
    QCheckBox *showMailButton() const { return mShowMailButton; }
    QComboBox *memoActionPopup() const { return mMemoActionPopupButton; }
    QCheckBox *useSoundButton() const { return mUseSoundButton; }
    QPushButton *advancedButton() const { return mAdvancedButton; }
    SoundOptionSheet *soundOptionSheet() const { return mSoundOptionPanel; }

private:
    QLabel *mNotificationMsg;
    QGroupBox *mRequestBox;
    QCheckBox *mShowAlertButton;
    QCheckBox *mShowMessageButton;
    QCheckBox *mShowBounceButton;
    QGroupBox *mMemoBox;
    QLabel *mReceiveMemoField;
    QComboBox *mMemoActionPopupButton;
    QCheckBox *mShowMailButton;
    QLabel *mSoundMsg;
    QCheckBox *mUseSoundButton;
    QPushButton *mAdvancedButton;
    SoundOptionSheet *mSoundOptionPanel;
    QLabel *mSoundFileField;
    QPushButton *mSoundFileButton;
    QPointer<QFileDialog> mSoundFileChooser;
};

} // namespace parley
