#include "PLSettingFileSaveQuestion.h"

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
    // "archive.tar.gz" becomes "archive (1).tar.gz"; a leading dot is part of the base.
    const int dot = name.indexOf(QLatin1Char('.'), 1);
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    const QDir dir(folder);
    for (int n = 1; n < 10000; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base, QString::number(n), suffix);
        // A dangling link names something too.
        if (!QFileInfo(dir.filePath(candidate)).exists() && !QFileInfo(dir.filePath(candidate)).isSymLink())
            return candidate;
    }
    return QString();
}

} // namespace parley
