#include "PLNoteHeader.h"

#include "Utils/PLUtils.h"

#include <QDateTime>

namespace parley {

namespace {

const QString kEmptyField = QStringLiteral("%00");

QString orDefault(const QString &value, const QString &fallback)
{
    return value.isNull() ? fallback : value;
}

} // namespace

PLNoteHeader::PLNoteHeader()
    : mContentType_(QStringLiteral("text")),
      mDate_(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"))),
      mUUID_(PLMakeUUID())
{
}

void PLNoteHeader::setRefs(const QStringList &ids)
{
    QStringList present;
    for (const QString &id : ids) {
        if (!id.isEmpty())
            present << id;
    }
    mRef_ = present.isEmpty() ? QString() : present.join(QLatin1Char(';'));
}

QString PLNoteHeader::stringRepresentation() const
{
    // The Gulim font's Korean name.
    static const QString kDefaultFontName = QStringLiteral(u"\uAD74\uB9BC");
    QString text;
    const auto line = [&text](const char *key, const QString &value) {
        text += QLatin1String(key) + QLatin1Char(':') + value + QLatin1String("\r\n");
    };
    line("title", orDefault(mTitle_, kEmptyField));
    line("from", orDefault(mFrom_, kEmptyField));
    line("ref", orDefault(mRef_, kEmptyField));
    line("date", orDefault(mDate_, kEmptyField));
    line("session_id", orDefault(mSessionID_, kEmptyField));
    line("uuid", orDefault(mUUID_, kEmptyField));
    line("contenttype", orDefault(mContentType_, kEmptyField));
    line("length", QString::number(mLength_));
    line("font-name", orDefault(mFontName_, kDefaultFontName));
    line("font-size", QString::number(mFontSize_));
    line("font-color", orDefault(mFontColor_, QStringLiteral("#050505")));
    line("font-style", orDefault(mFontStyle_, kEmptyField));
    line("ref-uuid", orDefault(mRefUUID_, kEmptyField));
    line("cookie", orDefault(mCookie_, QString()));
    line("event", orDefault(mEvent_, QStringLiteral("NW")));
    return text;
}

} // namespace parley
