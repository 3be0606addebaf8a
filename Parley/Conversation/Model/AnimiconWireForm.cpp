#include "AnimiconWireForm.h"

#include "AsciiText.h"

#include <QStringList>

QString AnimiconWireForm::encode(const QString &fourCharacterID, const QString &name)
{
    if (fourCharacterID.size() != 4 || !isSafeID(fourCharacterID))
        return {};
    const QString category = fourCharacterID.left(1);
    const QString item = fourCharacterID.mid(1);
    return QStringLiteral("<ANICO|%1|%2_%3.bmp|").arg(fourCharacterID, category, item) + name
           + QStringLiteral("|/ANICO>");
}

std::optional<AnimiconWireInfo> AnimiconWireForm::decode(const QString &message)
{
    if (message.isNull())
        return std::nullopt;
    const QStringList parts = message.split(QLatin1Char('|'));
    if (parts.size() < 4)
        return std::nullopt;
    const QString &id = parts.at(1);
    if (id.size() != 4 || !isSafeID(id))
        return std::nullopt;
    return AnimiconWireInfo{id.left(1), id.mid(1), parts.at(3)};
}

bool AnimiconWireForm::isAnimiconExist(const QString &message)
{
    return message.contains(QLatin1String("<ANICO"));
}

bool AnimiconWireForm::isSafeID(QStringView id) { return isAsciiLettersAndDigits(id); }
