// Arbitrary text as the replies of the account's web queries: the count
// parsers and the sister-service replies applied to a small buddy list.

#include "BuddyManagement/PLBuddyManager.h"
#include "Log.h"
#include "Sessions/PLAccountWebQueries.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        setLogSink([](const QString &) {});
        PLBuddyManager::sharedManager().createBuddyForCMN(QStringLiteral("100"))->setOrchardCMN(QStringLiteral("o1"));
        return true;
    }();
    (void)ready;

    const QString reply = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto mail = PLAccountWebQueries::mailCountFromReply(reply);
    const auto memo = PLAccountWebQueries::memoCountFromReply(reply);
    if ((mail && !reply.contains(QLatin1String("unseen"))) || (memo && !reply.contains(QLatin1String("cnt"))))
        __builtin_trap();
    PLAccountWebQueries::applyMainAccountReply(reply);
    PLAccountWebQueries::applyNewPostReply(reply);
    return 0;
}
