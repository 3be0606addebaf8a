#pragma once

// The one-field sheet in which a group's name is typed, for a new group or a
// new name. OK ends it with Accepted only when the field holds more than
// blanks; Cancel rejects it.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace parley {

class GroupNameSheet : public QDialog
{
    Q_OBJECT

public:
    // `messageKey`: "AddGroupMessage" or "RenameGroupMessage".
    GroupNameSheet(const QString &messageKey, const QString &name, QWidget *parent);

    QString name() const;
    void okAction();

    QLabel *messageField() const { return mMessage; }
    QLineEdit *field() const { return mField; }
    QPushButton *okButton() const { return mOK; }
    QPushButton *cancelButton() const { return mCancel; }

private:
    QLabel *mMessage;
    QLineEdit *mField;
    QPushButton *mOK;
    QPushButton *mCancel;
};

} // namespace parley
