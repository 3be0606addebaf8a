#include "PLSettingFileSaveQuestion.h"

#include "PLPeerFileName.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFileInfo>

namespace parley {

PLSettingFileSaveQuestion::PLSettingFileSaveQuestion(UserDefaults &defaults) : mDefaults(defaults) {}

PLFileSaveQuestion::Answer PLSettingFileSaveQuestion::askOverwrite(const QString &)
{
    const QString choice = mDefaults.stringForKey(QLatin1String(kSettingKey));
    if (choice == QLatin1String("overwrite"))
        return Answer::Overwrite;
    if (choice == QLatin1String("refuse"))
        return Answer::Cancel;
    return Answer::SaveAs;
}

QString PLSettingFileSaveQuestion::askSavePath(const QString &folder, const QString &proposedName)
{
    const QString name = numberedFreeName(folder, proposedName);
    return name.isNull() ? QString() : QDir(folder).filePath(name);
}

QString PLSettingFileSaveQuestion::numberedFreeName(const QString &folder, const QString &name)
{
    // "archive.tar.gz" becomes "archive (1).tar.gz"; a long name gives up
    // the end of its stem so that the number fits the file system's limit.
    const PLPeerFileName::Parts parts = PLPeerFileName::split(name);
    const QDir dir(folder);
    for (int n = 1; n < 10000; ++n) {
        const QString candidate =
            PLPeerFileName::fitted(parts, QStringLiteral(" (%1)").arg(n), PLPeerFileName::kMaxBytes);
        // A dangling link names something too.
        if (!QFileInfo(dir.filePath(candidate)).exists() && !QFileInfo(dir.filePath(candidate)).isSymLink())
            return candidate;
    }
    return QString();
}

} // namespace parley
