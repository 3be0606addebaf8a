#pragma once

// A bar drawn with the image "tm_view(1x57)" stretched to its width at the
// image's own height, at its bottom (a soft gradient until the image exists).

#include <QImage>
#include <QWidget>

namespace pigeonhole {

class KCToolbarView : public QWidget
{
    Q_OBJECT

public:
    explicit KCToolbarView(QWidget *parent = nullptr, const QString &imageName = QStringLiteral("tm_view(1x57)"));

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage mBgImage;
};

} // namespace pigeonhole
