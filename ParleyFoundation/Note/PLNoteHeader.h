#pragma once

// The named header fields of a memo, written as "key:value" lines.

#include <QString>
#include <QStringList>

namespace parley {

class PLNoteHeader
{
public:
    // Content type "text", font size 10, the creation time and a new UUID.
    PLNoteHeader();

    void setTitle(const QString &title) { mTitle_ = title; }
    void setFrom(const QString &from) { mFrom_ = from; }
    void setContentType(const QString &type) { mContentType_ = type; }
    void setSessionID(const QString &sessionID) { mSessionID_ = sessionID; }
    void setFontName(const QString &name) { mFontName_ = name; }
    void setFontStyle(const QString &style) { mFontStyle_ = style; }
    void setFontColor(const QString &color) { mFontColor_ = color; }
    void setRefUUID(const QString &uuid) { mRefUUID_ = uuid; }
    void setCookie(const QString &cookie) { mCookie_ = cookie; }
    void setEvent(const QString &event) { mEvent_ = event; }
    void setFontSize(qint32 size) { mFontSize_ = size; }
    void setConfirm(bool confirm) { mConfirm_ = confirm; }
    void setLength(qint32 length) { mLength_ = length; }
    void setMRef(const QString &ref) { mRef_ = ref; }
    void setMDate(const QString &date) { mDate_ = date; }
    void setMUUID(const QString &uuid) { mUUID_ = uuid; }

    QString mTitle() const { return mTitle_; }
    QString mFrom() const { return mFrom_; }
    bool mConfirm() const { return mConfirm_; }
    qint32 mLength() const { return mLength_; }
    QString mContentType() const { return mContentType_; }
    QString mRef() const { return mRef_; }
    QString mDate() const { return mDate_; }
    QString mSessionID() const { return mSessionID_; }
    QString mUUID() const { return mUUID_; }
    QString mFontName() const { return mFontName_; }
    qint32 mFontSize() const { return mFontSize_; }
    QString mFontStyle() const { return mFontStyle_; }
    QString mFontColor() const { return mFontColor_; }
    QString mRefUUID() const { return mRefUUID_; }
    QString mCookie() const { return mCookie_; }
    QString mEvent() const { return mEvent_; }

    // The ref becomes the non-empty IDs joined by ";" (none: no ref).
    void setRefs(const QStringList &ids);
    // The header lines, each ended by CR LF.
    QString stringRepresentation() const;

private:
    // Trailing underscores: the getters carry the plain names.
    QString mTitle_;
    QString mFrom_;
    bool mConfirm_ = false;
    qint32 mLength_ = 0;
    QString mContentType_;
    QString mRef_;
    QString mDate_;
    QString mSessionID_;
    QString mUUID_;
    QString mFontName_;
    qint32 mFontSize_ = 10;
    QString mFontStyle_;
    QString mFontColor_;
    QString mRefUUID_;
    QString mCookie_;
    QString mEvent_;
};

} // namespace parley
