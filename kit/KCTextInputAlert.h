#pragma once

// A question that asks for a secret: a title, a message, a password field
// (with a line over it and a label at its left where given), a
// text of our own below it (rich text, its links opening in the web browser)
// and buttons, the first the default. Texts other than the accessory are
// plain text. Without the field it is an alert with an accessory: the text,
// buttons under it that act without ending the alert, and a check box.

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QHBoxLayout;
class QPushButton;

class KCTextInputAlert : public QDialog
{
    Q_OBJECT
public:
    explicit KCTextInputAlert(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setMessage(const QString &message);
    void setAccessoryHtml(const QString &html);
    // A line over the field and a label at its left; empty hides each.
    void setFieldTexts(const QString &message, const QString &label);
    void setButtons(const QStringList &titles);
    void setTextFieldShown(bool shown);
    void setImage(const QPixmap &image);
    void setCheckBox(const QString &text, bool checked);
    void addAccessoryButton(const QString &title, std::function<void()> action);

    // The button that ended the dialog; -1 when it ended otherwise.
    int clickedButton() const { return mClicked; }
    QString text() const;
    bool isChecked() const;

    QLineEdit *textField() const { return mTextField; }
    QTextBrowser *accessoryView() const { return mAccessory; }
    QLabel *fieldMessage() const { return mFieldMessage; }
    QLabel *fieldLabel() const { return mFieldLabel; }
    QList<QPushButton *> buttons() const { return mButtons; }
    QList<QPushButton *> accessoryButtons() const { return mAccessoryButtons; }
    QCheckBox *checkBox() const { return mCheckBox; }
    QLabel *imageView() const { return mImageView; }

private:
    QLabel *mImageView;
    QLabel *mTitleField;
    QLabel *mMessageField;
    QLabel *mFieldMessage;
    QLabel *mFieldLabel;
    QLineEdit *mTextField;
    QTextBrowser *mAccessory;
    QHBoxLayout *mAccessoryRow;
    QCheckBox *mCheckBox;
    QHBoxLayout *mButtonRow;
    QList<QPushButton *> mButtons;
    QList<QPushButton *> mAccessoryButtons;
    int mClicked = -1;
};
