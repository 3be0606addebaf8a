#pragma once

// The taller backing strip of a button bar: its image stretched across the
// view's width at the image's height, along the bottom edge.

#include <QImage>
#include <QWidget>

class KCButtonView : public QWidget
{
    Q_OBJECT
public:
    // Starts with the image "1x37_btn_bg".
    explicit KCButtonView(QWidget *parent = nullptr);

    void setMImage(const QImage &image);
    const QImage &mImage() const { return mImageValue; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mImageValue;
};
