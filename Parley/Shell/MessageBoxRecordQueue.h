#pragma once

// The memo and chat records the messenger files for the message box, held
// while the box cannot file them: before it runs, and while it runs but has
// not yet been told its user ("PLLoginUserInfo"; until then it would file
// into its pre-login store, or not hear the record at all). Once the box has
// been answered, the held records are posted oldest first, and later ones go
// at once. At most kLimit are held: beyond that the oldest is dropped, and
// logged. A box that is told to quit takes no more until it is answered
// again; what is held then belongs to the user leaving and is dropped.
//
// Installed as the plug-in posters' record keeper for its lifetime. Main
// thread only.

#include "PlugInNotifications.h"

#include <QPointer>

#include <deque>
#include <functional>

namespace parley::shell {

class MessageBoxRecordQueue final : public plugin::RecordKeeper
{
public:
    static constexpr int kLimit = 1000;

    // `boxRunning` answers whether the box's process runs now.
    explicit MessageBoxRecordQueue(std::function<bool()> boxRunning);
    ~MessageBoxRecordQueue() override;
    MessageBoxRecordQueue(const MessageBoxRecordQueue &) = delete;
    MessageBoxRecordQueue &operator=(const MessageBoxRecordQueue &) = delete;

    bool keepRecord(const QString &name, const QVariantMap &record, DistributedNotificationCenter &center) override;
    // The box was just sent "PLLoginUserInfo" and "PLBuddyStatusList".
    void boxListening();
    // The box is told to quit (sign-out, quit, start-up).
    void boxQuitting();

    int heldCount() const { return int(mHeld.size()); }
    bool isListening() const { return mListening; }

private:
    struct Held {
        QString name;
        QVariantMap record;
        QPointer<DistributedNotificationCenter> center;
    };
    void drop(const Held &held, const char *why);

    std::function<bool()> mBoxRunning;
    std::deque<Held> mHeld;
    bool mListening = false;
};

} // namespace parley::shell
