#include "IdleSourceChain.h"

#include "ApplicationIdleSource.h"
#include "DBusIdleSource.h"
#include "LogindIdleSource.h"
#include "X11IdleSource.h"

namespace parley::shell {

IdleSourceChain::IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources)
    : mSources(std::move(sources)), mAlive(std::make_shared<bool>(true))
{
}

IdleSourceChain::~IdleSourceChain() { *mAlive = false; }

std::unique_ptr<IdleSourceChain> IdleSourceChain::standard(const QDBusConnection &sessionBus,
                                                           const QDBusConnection &systemBus)
{
    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::make_unique<DBusIdleSource>(sessionBus, DBusIdleSource::kScreenSaver));
    sources.push_back(std::make_unique<DBusIdleSource>(sessionBus, DBusIdleSource::kGnomeIdleMonitor));
    sources.push_back(std::make_unique<LogindIdleSource>(systemBus));
    sources.push_back(std::make_unique<X11IdleSource>());
    sources.push_back(std::make_unique<ApplicationIdleSource>());
    return std::make_unique<IdleSourceChain>(std::move(sources));
}

void IdleSourceChain::requestIdleTime(Answer answer)
{
    if (mSources.empty()) {
        answer(std::nullopt);
        return;
    }
    ask(mCurrent, 0, std::move(answer));
}

void IdleSourceChain::ask(size_t index, size_t tried, Answer answer)
{
    if (tried == mSources.size()) {
        answer(std::nullopt);
        return;
    }
    const std::shared_ptr<bool> alive = mAlive;
    mSources[index]->requestIdleTime([this, alive, index, tried, answer](std::optional<double> seconds) {
        if (!*alive)
            return;
        if (seconds) {
            mCurrent = index;
            answer(seconds);
            return;
        }
        ask((index + 1) % mSources.size(), tried + 1, answer);
    });
}

} // namespace parley::shell
