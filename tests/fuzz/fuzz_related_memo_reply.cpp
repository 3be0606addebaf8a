// Arbitrary server text as a related-memo reply, fed to a memo window's
// thread batch after batch: every memo taken has its ten fields and no line
// break inside one, the thread never holds more than its limit, and every
// request it asks for names the last sequence number it read.

#include "FuzzSupport.h"
#include "RelatedMemoReply.h"
#include "RelatedMemoThread.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parley::fuzz::silenceLog();

    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const RelatedMemoReply reply = RelatedMemoReply::parse(text);
    for (const RelatedMemoEntry &entry : reply.entries) {
        for (const QString &field : {entry.field1, entry.field2, entry.direction, entry.senderID, entry.receiverIDs,
                                     entry.date, entry.fontAttributes, entry.text}) {
            if (field.contains(QLatin1Char(' ')) || field.contains(QLatin1String("\r\n")))
                __builtin_trap();
        }
        if (!RelatedMemoEntry::fromList(entry.toList()))
            __builtin_trap();
    }

    // The same text as every batch of one thread: it must end.
    RelatedMemoThread thread(RelatedMemoThread::Side::Read);
    thread.setCookie(QStringLiteral("cookie"));
    thread.setServerHasMemos(true);
    RelatedMemoThread::Step step = thread.firstUse();
    int batches = 0;
    while (step.request) {
        if (++batches > RelatedMemoThread::kMaxEntries + 2)
            __builtin_trap();
        step = thread.takeReply(text);
        if (step.request && step.request->lastSequence != thread.lastSequence())
            __builtin_trap();
    }
    if (thread.entries().size() > RelatedMemoThread::kMaxEntries)
        __builtin_trap();
    return 0;
}
