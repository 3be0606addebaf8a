#pragma once

// A push button drawn from three slices (7 x 28 caps and a fill stretched
// between them) along its bottom edge, with its title centred in 12 points
// under a white shadow. The pressed slices show only while the button is held,
// the disabled ones with a dark grey title.

#include <QImage>
#include <QPushButton>

class KCWhiteButton : public QPushButton
{
    Q_OBJECT
public:
    // Loads "tools-buttonLeft-N", "-P", "-D", "tools-buttonRight-..." and
    // "tools-buttonFill-...".
    explicit KCWhiteButton(QWidget *parent = nullptr);
    explicit KCWhiteButton(const QString &title, QWidget *parent = nullptr);

    static constexpr int kCapWidth = 7;
    static constexpr int kSliceHeight = 28;

    void setLeft(const QImage &image) { mLeft = image; update(); }
    void setLeftPressed(const QImage &image) { mLeftPressed = image; update(); }
    void setLeftDisabled(const QImage &image) { mLeftDisabled = image; update(); }
    void setRight(const QImage &image) { mRight = image; update(); }
    void setRightPressed(const QImage &image) { mRightPressed = image; update(); }
    void setRightDisabled(const QImage &image) { mRightDisabled = image; update(); }
    void setMiddle(const QImage &image) { mMiddle = image; update(); }
    void setMiddlePressed(const QImage &image) { mMiddlePressed = image; update(); }
    void setMiddleDisabled(const QImage &image) { mMiddleDisabled = image; update(); }
    const QImage &left() const { return mLeft; }
    const QImage &leftPressed() const { return mLeftPressed; }
    const QImage &leftDisabled() const { return mLeftDisabled; }
    const QImage &right() const { return mRight; }
    const QImage &rightPressed() const { return mRightPressed; }
    const QImage &rightDisabled() const { return mRightDisabled; }
    const QImage &middle() const { return mMiddle; }
    const QImage &middlePressed() const { return mMiddlePressed; }
    const QImage &middleDisabled() const { return mMiddleDisabled; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mLeft, mLeftPressed, mLeftDisabled;
    QImage mRight, mRightPressed, mRightDisabled;
    QImage mMiddle, mMiddlePressed, mMiddleDisabled;
};
