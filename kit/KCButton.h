#pragma once

// The skinned small button: 11-point title, never takes keyboard focus.
// A push button draws a three-piece bezel ("ButtonLeft<s>", "ButtonFill<s>",
// "ButtonRight<s>") and its image or title under a white shadow; a checkable
// one is a check box drawn from "Checkbox<On|Off><s>" at its left edge with
// its title beside it. <s> is the state letter N, P or D.

#include <QIcon>
#include <QPushButton>

class KCButton : public QPushButton
{
    Q_OBJECT
public:
    explicit KCButton(QWidget *parent = nullptr);
    explicit KCButton(const QString &title, QWidget *parent = nullptr);

    // The image shown while the button is held (none: the normal one).
    void setAlternateIcon(const QIcon &icon);
    QIcon alternateIcon() const { return mAlternateIcon; }

    // The names of the images this button draws now, for its state.
    QString bezelImageName(const char *piece) const; // "Left", "Fill" or "Right"
    QString checkboxImageName() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPushButton(QPainter &painter);
    void paintCheckBox(QPainter &painter);
    QString state() const;

    QIcon mAlternateIcon;
};
