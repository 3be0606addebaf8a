#pragma once

// The Message pane: the away and busy message, its colour, and whether
// chats are saved.

#include "PrefsPane.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace parley {

class PrefsColorWell;
class PrefsEmoticonTextEdit;

class MessagePane : public PrefsPane
{
    Q_OBJECT
public:
    MessagePane(PrefsContext &context, PrefsColorWell &colorWell, QWidget *parent = nullptr);

    void read() override;
    void save() override;

    // The away text can be edited while either message box is on.
    void toggleAwayMessage();
    // Opens the colour panel; a picked colour colours the away text.
    void showColorPanel();
    void fontColorChanged(const QColor &color);

    QCheckBox *showAwayMsgButton() const { return mShowMsgButton; }
    QCheckBox *showBusyMsgButton() const { return mShowAwayMsgButton; }
    PrefsEmoticonTextEdit *awayMessageView() const { return mAwayMessage; }
    QComboBox *saveDialogPopup() const { return mDialogPopupButton; }
    QToolButton *emoticonButton() const { return mMemoEmoticonBtn; }
    QToolButton *colorButton() const { return mMemoFontBtn; }

signals:
    void emoticonPaletteRequested(const QPoint &globalPoint);

private:
    void updateColorButton();

    PrefsColorWell &mColorWell;
    QLabel *mMessageTitleMsgField;
    QGroupBox *mMsgBox;
    QCheckBox *mShowMsgButton;
    QCheckBox *mShowAwayMsgButton;
    PrefsEmoticonTextEdit *mAwayMessage;
    QToolButton *mMemoEmoticonBtn;
    QToolButton *mMemoFontBtn;
    QGroupBox *mDialogBox;
    QLabel *mDialogMsgField;
    QComboBox *mDialogPopupButton;
};

} // namespace parley
