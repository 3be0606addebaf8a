#pragma once

// What the buddy list asks of the memo windows' manager: a compose window
// addressed to these buddies. The memo windows' manager implements it.

#include <QString>
#include <QStringList>

namespace parley {

class MemoWindowOpener
{
public:
    virtual ~MemoWindowOpener() = default;
    virtual void createMessageWindowWithTargets(const QStringList &targets, const QString &message) = 0;
};

} // namespace parley
