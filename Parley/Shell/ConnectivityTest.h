#pragma once

// The connectivity test as the shell uses it: started once at start-up, and
// asked by the auto-login whether the direct route has been found yet.
// NetManagerConnectivity is the real one (PLNetManager); tests use their own.

namespace parley::shell {

class ConnectivityTest
{
public:
    virtual ~ConnectivityTest() = default;
    virtual void checkNetworkStatus() = 0;
    // The direct login-dispatch route has been found usable.
    virtual bool isDPLMode() const = 0;
};

class NetManagerConnectivity final : public ConnectivityTest
{
public:
    void checkNetworkStatus() override;
    bool isDPLMode() const override;
};

} // namespace parley::shell
