#pragma once

// The General pane: start at login, emoticons, what a double click on a
// buddy does, the download folder, the display name, automatic away, the
// privacy-settings page and the interface language.

#include "PrefsPane.h"

#include <QPointer>

#include <optional>

class QCheckBox;
class QComboBox;
#include <QFileDialog>
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace parley {

class PrefsColorWell;
class PrefsEmoticonTextEdit;

class GeneralPane : public PrefsPane
{
    Q_OBJECT
public:
    GeneralPane(PrefsContext &context, PrefsColorWell &colorWell, QWidget *parent = nullptr);

    void read() override;
    void save() override;

    // The language pop-up's index when the pane was read; none when the
    // interface is Korean (the pop-up is then never compared).
    std::optional<int> languageIndexAtRead() const { return mLangIndex; }
    int selectedLanguageIndex() const;
    bool isAutoStartOn() const;

    // Rebuilds the download-folder pop-up from "destinationPath".
    void buildFileDestination();
    // Opens the folder chooser over the window.
    void selectDownloadPath();
    // The chooser, while it is open (tests answer it).
    QFileDialog *folderChooser() const { return mFolderChooser; }

    // The minutes field's rule, applied as the user types.
    void minutesEdited(const QString &text);
    // The display name's limit, applied when its text changed.
    void displayNameChanged();

    PrefsEmoticonTextEdit *displayNameView() const { return mPersonalMessage; }
    QCheckBox *autoStartButton() const { return mAutoStartButton; }
    QCheckBox *showEmoticonButton() const { return mShowEmoticonButton; }
    QCheckBox *checkAwayButton() const { return mCheckAwayButton; }
    QLineEdit *intervalTimeField() const { return mIntervalTimeField; }
    QComboBox *clickOptionPopup() const { return mClickOptionPopupButton; }
    QComboBox *receivedFilePopup() const { return mReceivedFilePopupButton; }
    QComboBox *languagePopup() const { return mLanguagePopupButton; }
    QToolButton *emoticonButton() const { return mGeneralEmoticonBtn; }
    QPushButton *privacySettingButton() const { return mPrivacySettingButton; }

signals:
    // The user asked for the emoticon palette at this point of the screen.
    void emoticonPaletteRequested(const QPoint &globalPoint);

private:
    void receivedFileActivated(int index);

    PrefsColorWell &mColorWell;
    std::optional<int> mLangIndex;
    bool mTruncating = false;
    QPointer<QFileDialog> mFolderChooser;

    QLabel *mGeneralMsgField;
    QCheckBox *mAutoStartButton;
    QCheckBox *mShowEmoticonButton;
    QLabel *mClickOptionMsgField;
    QComboBox *mClickOptionPopupButton;
    QLabel *mReceivedFileMsgField;
    QLabel *mReceivedFileMsg2Field;
    QComboBox *mReceivedFilePopupButton;
    QLabel *mPersonalMsgField;
    QLabel *mPersonalMsg2Field;
    PrefsEmoticonTextEdit *mPersonalMessage;
    QToolButton *mGeneralEmoticonBtn;
    QLabel *mStatusMsgField;
    QCheckBox *mCheckAwayButton;
    QLineEdit *mIntervalTimeField;
    QLabel *mMinutesMsgField;
    QLabel *mPrivacyMsgField;
    QLabel *mPrivacyMsg2Field;
    QPushButton *mPrivacySettingButton;
    QLabel *mLanguageMsgField;
    QComboBox *mLanguagePopupButton;
};

} // namespace parley
