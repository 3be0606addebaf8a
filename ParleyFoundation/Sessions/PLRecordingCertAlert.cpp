#include "PLRecordingCertAlert.h"

namespace parley {

int PLRecordingCertAlert::showWindowWithMessage(const QString &message, const QList<QByteArray> &certificates,
                                                int code)
{
    mRequests.append({message, certificates, code});
    return mAnswers.isEmpty() ? int(Stop) : mAnswers.takeFirst();
}

} // namespace parley
