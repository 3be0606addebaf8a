#pragma once

// The portal's bridge page: its escaping and the report page's address.

#include <QString>

namespace parley {

class BridgePageInterface
{
public:
    virtual ~BridgePageInterface() = default;
    virtual QString urlencode(const QString &text) = 0;
    // The report page's address for an already escaped parameter.
    virtual QString reportPageUrl(const QString &parameter) = 0;
};

} // namespace parley
