#pragma once

// The rows of the session list, widget-free: the account's other logins as
// the server lists them, the table the list shows them in, and which row a
// clicked log-out link names.

#include <QList>
#include <QString>
#include <QUrl>

namespace parley {

struct SessionListIcons {
    QString computer;
    QString mobile;
    QString web;
    QString logout;
};

class SessionListModel
{
public:
    enum Type { Computer = 0, Mobile = 1, Web = 2, Unknown = -1 };
    struct Entry {
        int type = Unknown;
        QString displayName; // as shown (cut to 11 characters and "..." beyond 12)
        QString sessionKey;
        QString typeName;
    };
    // The longest display name shown whole.
    static constexpr int kLongestName = 12;

    // The server's media-type code of a login ("1" computer, "2" mobile,
    // "3" web) as the localized type name; an unknown code counts as a computer.
    static QString typeNameForMediaType(const QString &mediaType);

    // This login's own session key: its entry is never listed.
    void setOwnSessionKey(const QString &key) { mOwnKey = key; }
    void removeAllList() { mList.clear(); }
    // Adds a login unless it is this one; the type follows the localized type name.
    void addList(const QString &sessionKey, const QString &displayName, const QString &typeName);
    const QList<Entry> &list() const { return mList; }
    void removeAt(qsizetype index) { mList.removeAt(index); }

    // One row: icon, "type - name", and the log-out link naming the session
    // key (percent-encoded) with its image. Names are HTML-escaped.
    static QString rowHTML(const Entry &entry, const SessionListIcons &icons);
    // The whole table; empty when there is no row.
    QString tableHTML(const SessionListIcons &icons) const;
    // The row a clicked link names: the one whose session key equals the
    // link's last path component, percent-decoded; -1 when none.
    qsizetype indexForLink(const QUrl &url) const;

    // The display name as the list shows it.
    static QString shownName(const QString &displayName);

private:
    QString mOwnKey;
    QList<Entry> mList;
};

} // namespace parley
