#pragma once

// Small pieces the notification-server session's handler files share.

#include "Packet/PLRecvPacket.h"

#include <QString>

namespace parley::dphandlers {

// The tid of a received line as the details dictionaries carry it.
inline QString tidOf(const PLRecvPacket &packet) { return QString::number(packet.tID()); }

// The packet as the class its word decodes to; nullptr when it is not one.
template <typename Packet> Packet *as(PLRecvPacket &packet) { return dynamic_cast<Packet *>(&packet); }

} // namespace parley::dphandlers
