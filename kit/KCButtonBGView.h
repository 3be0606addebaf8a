#pragma once

// A horizontal backing strip under a row of buttons: its image stretched across
// the view's width at the image's height, along the bottom edge.

#include <QImage>
#include <QWidget>

class KCButtonBGView : public QWidget
{
    Q_OBJECT
public:
    // Starts with the image "1x27_bg".
    explicit KCButtonBGView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return mImage; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mImage;
};
