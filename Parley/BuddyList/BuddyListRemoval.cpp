#include "BuddyListRemoval.h"

#include <QVariantMap>

namespace parley::BuddyListRemoval {

namespace {

using Kind = BuddyRemovalStep::Kind;

BuddyRemovalStep step(Kind kind, const BuddyRemovalRow &row)
{
    BuddyRemovalStep s{kind, row.velaID, row.buddyCMN, row.groupID, {}};
    if (kind == Kind::RemoveFromGroups)
        s.records = {record(row)};
    return s;
}

} // namespace

QVariantMap record(const BuddyRemovalRow &row)
{
    return {{QStringLiteral("buddyID"), row.velaID},
            {QStringLiteral("buddyCMN"), row.buddyCMN},
            {QStringLiteral("fromGID"), row.groupID}};
}

BuddyRemovalPlan plan(int displayType, const QList<BuddyRemovalRow> &rows)
{
    BuddyRemovalPlan p;
    if (rows.isEmpty())
        return p;
    if (displayType == 2) {
        // No real groups on screen: each buddy leaves the list.
        for (const BuddyRemovalRow &row : rows)
            p.steps.append(step(Kind::RemoveFromList, row));
        return p;
    }
    if (rows.size() == 1) {
        const BuddyRemovalRow &row = rows.first();
        p.messageKey = QStringLiteral("BuddyRemoveMessage");
        p.messageArgs = {row.name, row.velaID};
        if (row.groupCount == 1) {
            p.question = BuddyRemovalPlan::Question::BlockOption;
            p.steps = {step(Kind::RemoveFromList, row), step(Kind::RemoveLocally, row)};
            p.stepsWithOption = {step(Kind::Block, row), step(Kind::RemoveFromList, row),
                                 step(Kind::RemoveLocally, row)};
        } else if (row.groupCount > 1) {
            p.question = BuddyRemovalPlan::Question::Confirm;
            p.steps = {step(Kind::RemoveFromGroups, row)};
        }
        return p;
    }
    p.question = BuddyRemovalPlan::Question::Confirm;
    p.messageKey = QStringLiteral("BuddysRemoveMessage");
    p.messageArgs = {QString::number(rows.size())};
    for (const BuddyRemovalRow &row : rows) {
        if (row.groupCount == 1)
            p.steps.append(step(Kind::RemoveFromList, row));
        else if (row.groupCount > 1)
            p.steps.append(step(Kind::RemoveFromGroups, row));
    }
    return p;
}

} // namespace parley::BuddyListRemoval
