#pragma once

// A memo: recipients, a sub-command word, the header and the body, and the
// text form that the account session sends as its memo command's body.

#include "PLNoteHeader.h"

#include <QString>
#include <QStringList>

namespace parley {

class PLNote
{
public:
    // No recipients, sub-command "IMSG", a new header sent from the signed-in
    // user's login ID.
    PLNote();

    void addTargetID(const QString &targetID);
    void setTargetIDs(const QStringList &targetIDs) { mTargetIDs_ = targetIDs; }
    // Stores the body and derives the header's title and length from it.
    void setMessage(const QString &message);
    void setConfirm(bool confirm);
    bool confirm() const { return mConfirm_; }
    void setSubCommand(const QString &subCommand) { mSubCommand_ = subCommand; }

    void setTitle(const QString &title) { mNoteHeader_.setTitle(title); }
    void setContentType(const QString &type) { mNoteHeader_.setContentType(type); }
    void setEvent(const QString &event) { mNoteHeader_.setEvent(event); }
    void setCookie(const QString &cookie) { mNoteHeader_.setCookie(cookie); }
    void setRefUUID(const QString &uuid) { mNoteHeader_.setRefUUID(uuid); }
    void setSessionID(const QString &sessionID) { mNoteHeader_.setSessionID(sessionID); }
    void setFontColor(const QString &color) { mNoteHeader_.setFontColor(color); }
    void setFontStyle(const QString &style) { mNoteHeader_.setFontStyle(style); }
    void setFontSize(qint32 size) { mNoteHeader_.setFontSize(size); }
    void setFontName(const QString &name) { mNoteHeader_.setFontName(name); }

    // The recipients joined by single spaces, then CR LF.
    QString targetIDsString() const;
    // The whole text form; sets the header's ref from the recipients first.
    QString stringRepresentation();

    const QStringList &mTargetIDs() const { return mTargetIDs_; }
    QString mSubCommand() const { return mSubCommand_; }
    const PLNoteHeader &mNoteHeader() const { return mNoteHeader_; }
    PLNoteHeader &mNoteHeader() { return mNoteHeader_; }
    QString mBody() const { return mBody_; }
    void setMTargetIDs(const QStringList &targetIDs) { mTargetIDs_ = targetIDs; }
    void setMNoteHeader(const PLNoteHeader &header) { mNoteHeader_ = header; }
    void setMConfirm(bool confirm) { mConfirm_ = confirm; }

private:
    // Trailing underscores: the getters carry the plain names.
    bool mConfirm_ = false;
    QStringList mTargetIDs_;
    QString mSubCommand_;
    PLNoteHeader mNoteHeader_;
    QString mBody_;
};

} // namespace parley
