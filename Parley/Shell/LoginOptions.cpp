#include "LoginOptions.h"

#include "Sessions/PLParleySession.h"

namespace parley::shell {

QVariantMap loginOptions(LoginPath path, bool showAsOffline)
{
    const bool token = path == LoginPath::AutoLogin || path == LoginPath::AutoLoginSecondTry
        || path == LoginPath::RetryWithToken;
    return {
        {QLatin1String(PLParleySession::kShowAsOffline), showAsOffline},
        {QLatin1String(PLParleySession::kPasswordEncrypted), token},
        {QLatin1String(PLParleySession::kIsRetry), path == LoginPath::RetryWithToken},
        {QLatin1String(PLParleySession::kAutoLogin), path == LoginPath::AutoLogin},
    };
}

} // namespace parley::shell
