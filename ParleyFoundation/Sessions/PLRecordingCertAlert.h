#pragma once

// A certificate alert for tests and headless use: it records each request and
// answers from a script (Stop once the script is used up), without waiting.

#include "PLCertAlert.h"

#include <QList>

namespace parley {

class PLRecordingCertAlert : public PLCertAlert
{
public:
    struct Request {
        QString message;
        QList<QByteArray> certificates;
        int code = 0;
    };

    int showWindowWithMessage(const QString &message, const QList<QByteArray> &certificates, int code) override;

    // The answers to give, in order.
    void setAnswers(const QList<int> &answers) { mAnswers = answers; }
    const QList<Request> &requests() const { return mRequests; }

private:
    QList<int> mAnswers;
    QList<Request> mRequests;
};

} // namespace parley
