#pragma once

// The alert shown when the server's certificate or host name fails the
// check during a key exchange. It explains the failure, lets the user look at
// the certificate chain or open the certificate help page, and answers
// Continue (1), Stop (2) or, with no answer before the time-out, TimedOut
// (3). showWindowWithMessage() runs the window with exec(), so the event loop
// keeps serving the sockets while the caller waits; each alert is a new
// window. Installed as the core's PLCertAlert by the application controller.

#include "Sessions/PLCertAlert.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace parley::shell {

class KCCertAlertWindow : public QObject, public PLCertAlert
{
    Q_OBJECT

public:
    explicit KCCertAlertWindow(double timeoutSeconds = PLCertAlert::kTimeoutSeconds, QObject *parent = nullptr);
    ~KCCertAlertWindow() override;

    int showWindowWithMessage(const QString &message, const QList<QByteArray> &certificates, int code) override;
    // Makes the alert window for a message, chain and code without running
    // it (the caller owns it); showWindowWithMessage() runs one such window.
    QDialog *loadWindow(const QString &message, const QList<QByteArray> &certificates, int code);
    // The last decision: 0 while the alert is open.
    int getReturnCode() const { return mReturnCode; }
    // The string key that explains a trust-result code (-2: host name).
    static QString explanationKeyForCode(int code);

    void continueAction();
    void stopAction();
    void timeoutAction();
    // Shows the chain beside the alert without ending it.
    void viewAction();
    void linkAction();

    // The open alert window, or null.
    QDialog *window() const { return mWindow; }
    // The chain window opened from it, or null.
    QDialog *certificateWindow() const { return mChainWindow; }

private:
    void end(int code);

    double mTimeoutSeconds;
    QPointer<QDialog> mWindow;
    QPointer<QDialog> mChainWindow;
    QTimer *mTimer;
    QList<QByteArray> mCertsArray;
    QString mMessageString;
    QString mContentString;
    int mReturnCode = 0;
};

} // namespace parley::shell
