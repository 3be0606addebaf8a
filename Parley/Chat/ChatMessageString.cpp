#include "ChatMessageString.h"

#include <QStringList>

namespace parley {

namespace {

QString field(QString value)
{
    value.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return value;
}

} // namespace

QString ChatMessageString::compose(const QString &fontName, const QString &fontColor, const QString &fontStyle,
                                   const QString &text)
{
    return field(fontName) + QLatin1Char('\t') + field(fontColor) + QLatin1Char('\t') + field(fontStyle)
        + QLatin1Char('\t') + field(text);
}

ChatMessageString ChatMessageString::parse(const QString &message)
{
    const QStringList fields = message.split(QLatin1Char('\t'));
    ChatMessageString out;
    out.text = fields.last();
    if (fields.size() > 3) {
        out.fontName = fields.at(0);
        out.fontColor = fields.at(1);
        out.fontStyle = fields.at(2);
    }
    return out;
}

} // namespace parley
