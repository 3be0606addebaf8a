#pragma once

// The state machine of idle and away detection, apart from its timer and
// its source of idle seconds. It keeps apart an Away of its own making (the
// user left the machine) and one the server declared, and whether the server
// has since reported the user Online again:
//   idleType 0 active, 1 idle detected here, 2 idle declared by the server,
//            3 Online again by the server while the input was still idle.
// Each check reads t (seconds since the last input) against T (the away
// interval in seconds) and says whether the shown status turns Away, back to
// Online, or stays; the next check comes 1 s later while idle, 5 s otherwise.

namespace parley::shell {

class IdleDetector
{
public:
    enum class Action { None, GoIdle, StopIdle };
    struct Step {
        Action action = Action::None;
        bool continues = true; // schedule another check
        double nextDelay = 0;  // seconds until it
    };

    static constexpr double kFirstDelay = 1.0;
    static constexpr double kIdleDelay = 1.0;
    static constexpr double kActiveDelay = 5.0;

    // setIdleTimer: answers whether a new chain starts (none runs already,
    // checking away is on, signed in and Online).
    bool startChain(bool checkAway, bool signedIn, int myStatus);
    // A check; `signedIn` false ends the chain.
    Step checkIdle(bool signedIn, double t, double awayInterval);
    // The server declared the user idle at input-idle time t.
    void goIdleFromServer(double t);

    // goIdle / stopIdle set the idle flag.
    void setIdle(bool idle) { mIdle = idle; }
    void setNotiOnline(bool flag) { mIsNotiOnline = flag; }

    int idleType() const { return mIdleType; }
    bool idle() const { return mIdle; }
    bool checking() const { return mChecking; }
    double fakeIdleTime() const { return mFakeIdleTime; }
    bool isNotiOnline() const { return mIsNotiOnline; }
    // For tests and the server's idle before a chain has read t.
    void setIdleType(int type) { mIdleType = type; }
    void setFakeIdleTime(double t) { mFakeIdleTime = t; }

private:
    bool mChecking = false;
    bool mIdle = false;
    int mIdleType = 0;
    double mFakeIdleTime = 0;
    bool mIsNotiOnline = false;
};

} // namespace parley::shell
