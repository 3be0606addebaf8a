#pragma once

// What removing the selected buddies asks and sends, decided without
// widgets. In display type 2 each buddy leaves the list at once; one buddy
// in one group is asked with the option to block it too; one buddy in
// several groups leaves only the group it was selected in; several buddies
// are asked once, then each leaves the list or its group.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

struct BuddyRemovalRow {
    QString velaID;
    QString buddyCMN;
    QString name;
    QString groupID;  // the group the row is listed in
    int groupCount = 0; // how many groups hold the buddy
};

struct BuddyRemovalStep {
    enum class Kind {
        Block,             // blockBuddy(velaID)
        RemoveFromList,    // removeBuddyFlag(velaID, "FL")
        RemoveLocally,     // the buddy manager's removeBuddy(cmn, groupID)
        RemoveFromGroups,  // removeBuddies(records)
    };
    Kind kind;
    QString velaID;
    QString buddyCMN;
    QString groupID;
    QVariantList records;
    friend bool operator==(const BuddyRemovalStep &, const BuddyRemovalStep &) = default;
};

struct BuddyRemovalPlan {
    enum class Question {
        None,         // act at once (steps) or do nothing (no steps)
        BlockOption,  // OK with the block option, OK, Cancel
        Confirm,      // OK or Cancel
    };
    Question question = Question::None;
    QString messageKey;     // "BuddyRemoveMessage" or "BuddysRemoveMessage"
    QStringList messageArgs;
    QList<BuddyRemovalStep> steps;            // on OK (or at once)
    QList<BuddyRemovalStep> stepsWithOption;  // on OK with the block option ticked
};

namespace BuddyListRemoval {

// The plan for `rows` (the selection, in list order) in a display type.
BuddyRemovalPlan plan(int displayType, const QList<BuddyRemovalRow> &rows);

// {"buddyID", "buddyCMN", "fromGID"} of a row.
QVariantMap record(const BuddyRemovalRow &row);

} // namespace BuddyListRemoval

} // namespace parley
