#pragma once

// The skinned pop-up button: a small combo box drawn from three slices
// ("tools-popupLeft-<s>", "tools-popupFill-<s>", "tools-popupRight-<s>", <s>
// the state letter N, P or D; the right cap carries the arrows) with its
// title over them, in 11 points. In pull-down mode it always shows its own
// title and choosing an item only reports the choice.

#include <QComboBox>

class KCPopupButton : public QComboBox
{
    Q_OBJECT
public:
    explicit KCPopupButton(QWidget *parent = nullptr);
    KCPopupButton(const QString &title, bool pullsDown, QWidget *parent = nullptr);

    void setPullsDown(bool pullsDown);
    bool pullsDown() const { return mPullsDown; }
    // The title shown in pull-down mode.
    void setTitle(const QString &title);
    QString title() const { return mTitle; }

    // The text the button shows now.
    QString displayedTitle() const;
    QString sliceImageName(const char *piece) const; // "Left", "Fill" or "Right"

    void showPopup() override;
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool mPullsDown = false;
    bool mPoppedUp = false;
    QString mTitle;
};
