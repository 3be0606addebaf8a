#pragma once

// SIGTERM (the desktop session ending, `kill`) turned into a call on the
// event loop: the handler only writes a byte to a socket pair, and the
// notifier of the other end runs `onSignal` on the main thread. While the
// object lives SIGTERM is handled; afterwards the default comes back.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace parley::shell {

class TerminationSignal final : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignal(std::function<void()> onSignal, QObject *parent = nullptr);
    ~TerminationSignal() override;

private:
    std::function<void()> mOnSignal;
    QSocketNotifier *mNotifier = nullptr;
};

} // namespace parley::shell
