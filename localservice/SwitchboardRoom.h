#pragma once

// One chat room of the switchboard: its key and the connections that entered
// it, in the order they entered.

#include <QList>
#include <QPointer>
#include <QString>

namespace localservice {

class SwitchboardSession;

class SwitchboardRoom {
public:
    explicit SwitchboardRoom(const QString &key) : mKey(key) {}

    const QString &key() const { return mKey; }
    void add(SwitchboardSession *member);
    void remove(SwitchboardSession *member);
    // Everybody in the room but `except`.
    QList<SwitchboardSession *> others(const SwitchboardSession *except) const;
    QList<SwitchboardSession *> members() const { return others(nullptr); }
    bool isEmpty() const { return members().isEmpty(); }
    // Whether anybody ever entered (an empty room that never had anybody is
    // still waiting for its first member).
    bool wasEntered() const { return mWasEntered; }

private:
    QString mKey;
    QList<QPointer<SwitchboardSession>> mMembers;
    bool mWasEntered = false;
};

} // namespace localservice
