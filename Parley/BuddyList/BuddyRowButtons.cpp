#include "BuddyRowButtons.h"

namespace parley {

void BuddyRowButtons::setTalkStartX(int x, int width) { mTalk = {x, width > 0 ? width : 0}; }
void BuddyRowButtons::setOrStartX(int x, int width) { mOrchard = {x, width > 0 ? width : 0}; }
bool BuddyRowButtons::isInTalkButtonWithPointX(int x) const { return mTalk.contains(x); }
bool BuddyRowButtons::isInOrchardButtonWithPointX(int x) const { return mOrchard.contains(x); }
void BuddyRowButtons::clearTalkButtonX() { mTalk = {}; }
void BuddyRowButtons::clearOrButtonX() { mOrchard = {}; }

} // namespace parley
