#pragma once

// Who is signed in, as the shell knows it: the full user ID (account name,
// "@", mail domain) that keys the per-user preferences. The application
// delegate implements it; tests use their own.

#include <QString>

namespace parley {

class PLCurrentUserProvider
{
public:
    virtual ~PLCurrentUserProvider() = default;
    // Null when nobody is signed in.
    virtual QString currentUserID() const = 0;
};

} // namespace parley
