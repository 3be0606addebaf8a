#pragma once

// A borderless button drawn as one of our images, and as its pressed image
// while held (momentary change). It takes no keyboard focus; its tool tip is
// also its accessible name.

#include <QAbstractButton>
#include <QImage>

class KCImageButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The images by name (ImageRegistry); a missing pressed image shows the normal one.
    KCImageButton(const QString &imageName, const QString &pressedImageName, QWidget *parent = nullptr);

    void setToolTipText(const QString &text);
    const QImage &image() const { return mImage; }
    const QImage &pressedImage() const { return mPressedImage; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mImage;
    QImage mPressedImage;
};
