#pragma once

// The window of one pop-up notice: 175 x 125, frameless, translucent, above
// other windows, never taking the focus, fully transparent until its notice
// fades it in. It shows an icon, a background, a close button, a one-line
// head and a multi-line body (both emoticon labels in small text). A press
// anywhere but on the close button is a click on the notice.

#include <QPixmap>
#include <QWidget>

class KCEmoticonView;
class QLabel;
class QToolButton;

namespace parley::shell {

class KCToasterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit KCToasterWindow(QWidget *parent = nullptr);

    static constexpr int kWidth = 175;
    static constexpr int kHeight = 125;

    QLabel *iconView() const { return mIconView; }
    QToolButton *closeButton() const { return mCloseButton; }
    KCEmoticonView *headView() const { return mEmoticonHead; }
    KCEmoticonView *bodyView() const { return mEmoticonBody; }

    void setIconImage(const QPixmap &image);
    // Move the icon and the close button; the head line takes the rest of
    // its row.
    void setIconRect(const QRect &rect);
    void setCloseButtonRect(const QRect &rect);
    // A null image draws the window's own plain panel.
    void setBackgroundImage(const QPixmap &image);
    QPixmap backgroundImage() const { return mBackground; }

Q_SIGNALS:
    void clicked();
    void closeClicked();
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void placeHeadLine();

    QLabel *mIconView;
    QToolButton *mCloseButton;
    KCEmoticonView *mEmoticonHead;
    KCEmoticonView *mEmoticonBody;
    QPixmap mBackground;
};

} // namespace parley::shell
