#include "PLBuddy.h"

namespace parley {

void PLBuddy::setQ7CMN(const QString &cmn)
{
    setRare(&Rare::q7CMN, cmn == QLatin1String("%00") ? QString() : cmn);
}

bool PLBuddy::flagBit(qsizetype index) const
{
    return index < mBuddyFlags.size() && mBuddyFlags.at(index) == QLatin1Char('1');
}

void PLBuddy::setFlagBit(qsizetype index, bool bit)
{
    QString flags;
    for (qsizetype i = 0; i < 4; ++i)
        flags += QLatin1Char((i == index ? bit : flagBit(i)) ? '1' : '0');
    mBuddyFlags = flags;
}

} // namespace parley
