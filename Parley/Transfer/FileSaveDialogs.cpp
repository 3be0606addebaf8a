#include "FileSaveDialogs.h"

#include "Chat/ChatText.h"
#include "KCAlertPresenter.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace parley {

PLFileSaveQuestion::Answer FileSaveDialogs::askOverwrite(const QString &path)
{
    KCAlertRequest request;
    request.key = QLatin1String(kAlertKey);
    request.title = KCLocalizedString(QStringLiteral("FileExistsTitle"));
    // The peer's file name fills our format; it is never a format itself.
    request.message = ChatText::localized("FileExistsMessage", {QFileInfo(path).fileName()});
    request.buttons = {KCLocalizedString(QStringLiteral("FileReplace")), KCLocalizedString(QStringLiteral("FileSaveAs")),
                       KCLocalizedString(QStringLiteral("Cancel"))};
    request.style = KCAlertRequest::Style::Warning;
    switch (KCAlerts().ask(request).button) {
    case 0:
        return Answer::Overwrite;
    case 1:
        return Answer::SaveAs;
    default:
        return Answer::Cancel;
    }
}

QString FileSaveDialogs::askSavePath(const QString &folder, const QString &proposedName)
{
    const QString chosen = QFileDialog::getSaveFileName(nullptr, KCLocalizedString(QStringLiteral("FileSaveTitle")),
                                                        QDir(folder).filePath(proposedName));
    return chosen.isEmpty() ? QString() : chosen;
}

} // namespace parley
