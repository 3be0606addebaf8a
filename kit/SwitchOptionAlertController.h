#pragma once

// A modal question with a picture, a title, a message, a check box for an
// extra option, and OK and Cancel. showAlertPanel answers
//   0  OK with the option checked
//   1  OK with the option unchecked
//   2  Cancel, or the panel ended otherwise (Escape, closed)
// from the check box's state when the panel ends. Texts are plain text.

#include <QDialog>
#include <QPixmap>

class QCheckBox;
class QLabel;
class QPushButton;

class SwitchOptionAlertController : public QDialog
{
    Q_OBJECT
public:
    enum Answer { OKChecked = 0, OKUnchecked = 1, Cancelled = 2 };
    // The dialog's result codes (QDialog::result()); any other ended it otherwise.
    enum ResultCode { ClosedCode = QDialog::Rejected, OKCode = QDialog::Accepted, CancelCode = 2 };

    explicit SwitchOptionAlertController(QWidget *parent = nullptr);

    // Runs the panel modally (over `parent` when given) and answers as above.
    static int showAlertPanel(const QString &title, const QString &message, const QString &optionMessage,
                              bool optionChecked, const QPixmap &image = QPixmap(), QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setMessage(const QString &message);
    void setOptionMessage(const QString &optionMessage, bool checked);
    // A null image leaves the panel's own in place.
    void setImage(const QPixmap &image);

    bool isResultOK() const { return mIsResultOK; }
    bool optionChecked() const { return mIsChecked; }
    // The answer for the panel's state now.
    int answer() const;

    QPushButton *okButton() const { return mOKButton; }
    QPushButton *cancelButton() const { return mCancelButton; }
    QCheckBox *checkButton() const { return mCheckButton; }
    QLabel *imageView() const { return mImageView; }

private:
    void clickOK();
    void clickCancel();

    QLabel *mImageView = nullptr;
    QLabel *mTitleField = nullptr;
    QLabel *mMessageField = nullptr;
    QCheckBox *mCheckButton = nullptr;
    QPushButton *mCancelButton = nullptr;
    QPushButton *mOKButton = nullptr;
    bool mIsChecked = false;
    bool mIsResultOK = false;
};
