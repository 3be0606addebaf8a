#include "MemoTextLimit.h"

QString MemoTextLimit::counterText(const QString &textForm)
{
    return QStringLiteral("%1/%2").arg(textForm.size() * 2).arg(kMaxBytes);
}

QString MemoTextLimit::cutToLimit(const QString &textForm)
{
    if (textForm.size() <= kMaxUnits)
        return textForm;
    qsizetype keep = kMaxUnits;
    if (textForm.at(keep - 1).isHighSurrogate())
        --keep;
    return textForm.left(keep);
}
