#pragma once

// The sheet over the main window for typing a mail domain that is not in the
// list: a message, a field, OK and Cancel. OK ends it with 1 only when the
// field holds something; Cancel ends it with 0.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace parley::shell {

class DomainSheet : public QDialog
{
    Q_OBJECT

public:
    explicit DomainSheet(QWidget *parent);

    // Localized texts, the field emptied.
    void resetDataAction();
    void addDomainAction();
    void cancelDomainAction();
    QString domain() const;

    QLabel *domainMsgField;
    QLineEdit *domainField;
    QPushButton *domainOKButton;
    QPushButton *domainCancelButton;
};

} // namespace parley::shell
