#pragma once

// The updater window of one plug-in: the update's name and version, the
// download's progress, then "installing" for two seconds once the update is
// in; the message box is started again afterwards. On a failure it shows
// the error alert and closes. It owns itself and is destroyed when closed.

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace parley::shell {
class ShellScheduler;
}

namespace parley {

class UpdateController : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kCompletionDelaySeconds = 2.0;

    // Opens the updater of that plug-in; `execute`: open the message box
    // once it is updated. Answers the window.
    static UpdateController *showPlugInUpdater(const QString &plugInID, bool execute);
    // The scheduler of the completion delay (tests); null: real timers.
    static void setScheduler(shell::ShellScheduler *scheduler);

    const QString &plugInID() const { return mPlugInID; }
    bool isExecute() const { return mIsExecute; }

    QLabel *mUpdateMessage;
    QLabel *mProgressMessage;
    QProgressBar *mProgress;

private:
    UpdateController(const QString &plugInID, bool execute);
    void updateManagerPlugInUpdateProgressNotification(const QVariantMap &record);
    void updateManagerPlugInUpdateResultNotification(const QVariantMap &result);
    void updateCompleted();

    QString mPlugInID;
    bool mIsExecute;
    bool mFinished = false;
};

} // namespace parley
