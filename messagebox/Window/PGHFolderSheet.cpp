#include "PGHFolderSheet.h"

#include "Utils/KCUtilities.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pigeonhole {

using parley::KCLocalizedString;

PGHFolderSheet::PGHFolderSheet(Purpose purpose, const QString &name, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(purpose == Purpose::Create ? QStringLiteral("createFolderPanel") : QStringLiteral("renameFolderPanel"));
    setWindowTitle(KCLocalizedString(purpose == Purpose::Create ? QStringLiteral("newFolder")
                                                                : QStringLiteral("renameFolder")));
    setWindowModality(Qt::WindowModal);
    auto *first = new QLabel(KCLocalizedString(QStringLiteral("etcmessage1")), this);
    auto *second = new QLabel(KCLocalizedString(QStringLiteral("etcmessage2")), this);
    second->setWordWrap(true);
    mName = new QLineEdit(name, this);
    mName->setObjectName(purpose == Purpose::Create ? QStringLiteral("createFolderNameField")
                                                    : QStringLiteral("renameFolderNameField"));
    mName->selectAll();
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(KCLocalizedString(QStringLiteral("ok")), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(KCLocalizedString(QStringLiteral("cancel")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(first);
    layout->addWidget(mName);
    layout->addWidget(second);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

QString PGHFolderSheet::folderName() const { return mName->text(); }

} // namespace pigeonhole
