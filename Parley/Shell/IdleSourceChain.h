#pragma once

// Several idle sources tried in order until one answers; the one that last
// answered is asked first next time. The messenger's chain is the desktop's
// screen saver, the GNOME idle monitor, logind's idle hint, the X server's
// screen-saver extension and, last, the input the application itself saw.

#include "IdleSource.h"

#include <QDBusConnection>

#include <memory>
#include <vector>

namespace parley::shell {

class IdleSourceChain final : public IdleSource
{
public:
    explicit IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources);
    ~IdleSourceChain() override;

    // The messenger's chain on the given session and system buses.
    static std::unique_ptr<IdleSourceChain> standard(const QDBusConnection &sessionBus,
                                                     const QDBusConnection &systemBus);

    void requestIdleTime(Answer answer) override;
    // The index of the source that answered last (0 before any answer).
    int currentIndex() const { return int(mCurrent); }

private:
    void ask(size_t index, size_t tried, Answer answer);

    std::vector<std::unique_ptr<IdleSource>> mSources;
    size_t mCurrent = 0;
    std::shared_ptr<bool> mAlive;
};

} // namespace parley::shell
