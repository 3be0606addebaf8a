#pragma once

// SIGTERM (and SIGINT) as a Qt signal on the main thread: the handler only
// writes a byte into a socket pair that the event loop watches.

#include <QObject>

class QSocketNotifier;

namespace pigeonhole {

class PGHTerminationSignal : public QObject
{
    Q_OBJECT

public:
    explicit PGHTerminationSignal(QObject *parent = nullptr);
    ~PGHTerminationSignal() override;

Q_SIGNALS:
    void received();

private:
    QSocketNotifier *mNotifier = nullptr;
};

} // namespace pigeonhole
