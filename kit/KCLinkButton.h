#pragma once

// A text link: the arrow image "normal_right", a space and the title in 11
// points under a white shadow, underlined while the pointer is over it.
// It never takes keyboard focus; Return in its window clicks it.

#include <QAbstractButton>

class KCLinkButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit KCLinkButton(QWidget *parent = nullptr);
    explicit KCLinkButton(const QString &title, QWidget *parent = nullptr);

    bool drawsUnderline() const { return mDrawUnderline; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setUnderline(bool underline);
    QFont titleFont() const;

    bool mDrawUnderline = false;
};
