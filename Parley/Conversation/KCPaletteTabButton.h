#pragma once

// A category tab of the emoticon and animicon palettes: a borderless toggle
// drawn as its tab image (selected or not) with the category's title on it.

#include <QAbstractButton>
#include <QString>

class KCPaletteTabButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit KCPaletteTabButton(const QString &title, QWidget *parent = nullptr);

    // The name of the image drawn behind the title (ImageRegistry).
    void setImageName(const QString &imageName);
    QString imageName() const { return mImageName; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString mImageName;
};
