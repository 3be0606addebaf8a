#pragma once

// The state of the link between the signed-in account and the other
// service's account, shared by the two linking panes: the sister service's
// pane after a portal-ID login, the portal's pane otherwise. A link or
// unlink request waits for the server's profile-change result; while one
// waits, the link button does nothing.

#include <QString>

namespace parley {

class AccountLinking
{
public:
    enum class Service { Orchard, Vela };

    // What pressing the link button does.
    enum class Press {
        Ignore,         // a request waits, or nobody is signed in
        MissingFields,  // not linked and the ID or the password is empty
        Link,           // send the link request
        AskUnlink,      // linked: ask before removing the link
    };
    Press pressLink(bool signedIn, bool linked, const QString &id, const QString &password) const;

    // A link (or unlink) request went out with this number; -1: nothing was
    // sent, and then nothing waits.
    void linkRequested(Service service, qint32 tid);
    void unlinkRequested(Service service, qint32 tid);

    // The profile-change result with its "tid" text and "orcmn".
    struct Result {
        bool handled = false;   // false: not for this pane (or signed out)
        bool linked = false;    // the pane shows the link as made
        QString alertKey;       // the alert's text key; empty: none
    };
    Result cprfResult(bool velaMode, bool signedIn, const QString &tid, const QString &orcmn);

    // An error reply with its "tid" text and "errorCode"; answers the alert's
    // text key, empty for none.
    QString errorReceived(const QString &tid, const QString &errorCode);

    bool isWaiting() const { return mIsCPRFRWaiting; }
    bool isCoupling() const { return mIsCoupling; }
    qint32 orchardTID() const { return mOrchardTID; }
    qint32 velaTID() const { return mVelaTID; }

private:
    void requested(Service service, qint32 tid);

    bool mIsCPRFRWaiting = false;
    bool mIsCoupling = false;
    qint32 mVelaTID = 0;
    qint32 mOrchardTID = 0;
};

} // namespace parley
