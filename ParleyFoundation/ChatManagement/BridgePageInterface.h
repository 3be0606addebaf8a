#pragma once

// The portal's bridge page: its escaping and the report page's address.

#include <QString>

namespace parley {

class BridgePageInterface
{
public:
    virtual ~BridgePageInterface() = default;
    virtual QString urlencode(const QString &text) = 0;
    // The report page's address. `parameter` is the report's own form
    // ("buddy%3d...%26text%3d...", its values escaped by the caller); it
    // becomes one value of the address, so it is escaped here once more, as
    // a whole, and must not be escaped again by the caller.
    virtual QString reportPageUrl(const QString &parameter) = 0;
};

} // namespace parley
