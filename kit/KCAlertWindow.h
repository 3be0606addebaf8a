#pragma once

// The alert with a headline, OK and a "Detail" button that folds a longer
// text in and out below it. It opens folded; unfolding grows the window
// downwards by the detail area's height and folding shrinks it back, the top
// edge staying where it is. One shared alert (defaultController) serves the
// application; it is deleted when closed, so the next request gets a fresh,
// empty one. Texts are plain text.

#include <QDialog>
#include <QPixmap>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

// The alerts' own picture ("alert_icon" of our images, else the style's
// warning icon) at 48 points.
QPixmap KCAlertIcon(const QWidget *widget);

class KCAlertWindow : public QDialog
{
    Q_OBJECT
public:
    explicit KCAlertWindow(QWidget *parent = nullptr);

    // The shared alert, made on first use; deleted when it closes.
    static KCAlertWindow *defaultController();

    static constexpr int kDetailHeight = 140;

    // The headline and the detail text.
    void setMessageString(const QString &message, const QString &content);
    QString messageString() const { return mMessageString; }
    QString contentString() const { return mContentString; }
    void setIcon(const QPixmap &icon);
    // Shows the window and brings it forward.
    void showWindow();

    // Folds the detail out when folded, in when unfolded.
    void toggleDetail();
    // True while folded: the next toggle shows the detail.
    bool shown() const { return mShown; }

    QPushButton *okButton() const { return mOKButton; }
    QPushButton *detailButton() const { return mDetailButton; }
    QWidget *detailView() const { return mDetailView; }

private:
    QLabel *mImageView = nullptr;
    QLabel *mTextField = nullptr;
    QPushButton *mOKButton = nullptr;
    QPushButton *mDetailButton = nullptr;
    QTextEdit *mTextView = nullptr;
    QFrame *mBox = nullptr;
    QWidget *mDetailView = nullptr;
    QString mMessageString;
    QString mContentString;
    QRect originRect;
    bool mShown = false;
};
