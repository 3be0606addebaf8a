#pragma once

// The sheet that asks for a folder's name, to make a folder or rename one.

#include <QDialog>

class QLineEdit;

namespace pigeonhole {

class PGHFolderSheet : public QDialog
{
    Q_OBJECT

public:
    enum class Purpose { Create, Rename };

    PGHFolderSheet(Purpose purpose, const QString &name, QWidget *parent);
    QString folderName() const;
    QLineEdit *nameField() const { return mName; }

private:
    QLineEdit *mName;
};

} // namespace pigeonhole
