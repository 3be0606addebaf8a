#pragma once

// What the sign-in asks of the file-transfer manager: the account session
// through which it sends its requests. The real manager implements it.

namespace parley {

class PLParleySession;

class PLFileTransferManagerInterface
{
public:
    virtual ~PLFileTransferManagerInterface() = default;
    // Not owned; nullptr forgets the session.
    virtual void setSession(PLParleySession *session) = 0;
};

} // namespace parley
