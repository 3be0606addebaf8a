#include "PGHFolderNameRules.h"

namespace pigeonhole {

namespace {

PGHFolderNameCheck check(PGHBox box, const QString &name)
{
    // Characters as the user sees them count, not UTF-16 units.
    if (name.toUcs4().size() > PGHFolderNameRules::kMaxLength || PGHFolderNameRules::isReserved(box, name))
        return {false, QString(), QStringLiteral("folderNameError")};
    return {true, name, QString()};
}

} // namespace

QString PGHFolderNameRules::defaultName(PGHBox box)
{
    return box == PGHBox::Memo ? QStringLiteral("tempbox") : QStringLiteral("tempchatbox");
}

bool PGHFolderNameRules::isReserved(PGHBox box, const QString &name)
{
    if (box == PGHBox::Memo)
        return name == QLatin1String("inbox") || name == QLatin1String("outbox");
    return name == QLatin1String("chatbox");
}

PGHFolderNameCheck PGHFolderNameRules::forCreate(PGHBox box, const QString &typed)
{
    return check(box, typed.isEmpty() ? defaultName(box) : typed);
}

PGHFolderNameCheck PGHFolderNameRules::forRename(PGHBox box, const QString &typed, const QString &current)
{
    if (typed.isEmpty())
        return {true, current, QString()};
    return check(box, typed);
}

} // namespace pigeonhole
