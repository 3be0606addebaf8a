#pragma once

// The Notification pane's sheet of sound options: the all-sounds box and the
// six event boxes. The boxes are stored when the window is saved; Cancel
// puts them back as they were when the sheet opened. Either button ends the
// sheet with the code 1 (finished), on which the pane applies the sound rule.

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;

namespace parley {

class SoundOptionSheet : public QDialog
{
    Q_OBJECT
public:
    explicit SoundOptionSheet(QWidget *parent = nullptr);

    // Sets the texts of the sheet's controls.
    void setTexts();
    // Shows the sheet over its window, remembering the boxes for Cancel.
    void begin();

    QCheckBox *optionButton() const { return mUseSoundOptionButton; }
    // The six event boxes in the order of their keys.
    const QList<QCheckBox *> &eventButtons() const { return mEventButtons; }
    QPushButton *okButton() const { return mOKSoundPanelButton; }
    QPushButton *cancelButton() const { return mCancelSoundPanelButton; }
    // The per-user keys of the six event boxes, in order.
    static QStringList eventKeys();

private:
    void cancelSoundOption();

    QCheckBox *mUseSoundOptionButton;
    QList<QCheckBox *> mEventButtons;
    QPushButton *mCancelSoundPanelButton;
    QPushButton *mOKSoundPanelButton;
    QList<bool> mStatesAtBegin;
};

} // namespace parley
