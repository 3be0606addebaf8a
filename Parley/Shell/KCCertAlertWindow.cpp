#include "KCCertAlertWindow.h"

#include "CertificateChainDialog.h"
#include "KCDefaultFont.h"
#include "KCLinkButton.h"
#include "Sessions/PLShellServices.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace parley::shell {

KCCertAlertWindow::KCCertAlertWindow(double timeoutSeconds, QObject *parent)
    : QObject(parent), mTimeoutSeconds(timeoutSeconds), mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    connect(mTimer, &QTimer::timeout, this, &KCCertAlertWindow::timeoutAction);
}

KCCertAlertWindow::~KCCertAlertWindow() = default;

QString KCCertAlertWindow::explanationKeyForCode(int code)
{
    switch (code) {
    case -2: return QStringLiteral("NameCertErr");
    case 0: return QStringLiteral("InvalidCertErr");
    case 1:
    case 4: return QStringLiteral("NoCertErr");
    case 2: return QStringLiteral("ConfirmCertErr");
    case 3: return QStringLiteral("DenyCertErr");
    case 5: return QStringLiteral("RecoverableCertErr");
    case 6: return QStringLiteral("FatalCertErr");
    case 7: return QStringLiteral("OtherCertErr");
    default: return QStringLiteral("UnknownCertErr");
    }
}

QDialog *KCCertAlertWindow::loadWindow(const QString &message, const QList<QByteArray> &certificates, int code)
{
    mReturnCode = 0;
    mMessageString = message;
    mCertsArray = certificates;
    mContentString = KCLocalizedString(explanationKeyForCode(code));

    auto *window = new QDialog;
    mWindow = window;
    window->setObjectName(QStringLiteral("KCCertAlertWindow"));
    window->setWindowTitle(KCLocalizedString(QStringLiteral("ParleyTitle")));
    window->setFont(GetDefaultFontOfSize(11)); // the kit's link is drawn at 11 points
    window->setMinimumWidth(420);
    auto *layout = new QVBoxLayout(window);
    auto *textField = new QLabel(mMessageString, window);
    textField->setObjectName(QStringLiteral("mTextField"));
    textField->setTextFormat(Qt::PlainText);
    textField->setWordWrap(true);
    QFont bold = textField->font();
    bold.setBold(true);
    textField->setFont(bold);
    auto *textView = new QPlainTextEdit(mContentString, window);
    textView->setObjectName(QStringLiteral("mTextView"));
    textView->setReadOnly(true);
    textView->document()->setDocumentMargin(5.0);
    textView->setFixedHeight(textView->fontMetrics().lineSpacing() * 5);
    auto *linkButton = new KCLinkButton(KCLocalizedString(QStringLiteral("ViewFAQ")), window);
    linkButton->setObjectName(QStringLiteral("mLinkButton"));
    // Return answers the alert (Stop), it does not open the help page.
    for (QShortcut *key : linkButton->findChildren<QShortcut *>())
        key->setEnabled(false);
    auto *viewButton = new QPushButton(KCLocalizedString(QStringLiteral("ViewCertButton")), window);
    viewButton->setObjectName(QStringLiteral("mViewButton"));
    viewButton->setEnabled(!mCertsArray.isEmpty());
    auto *stopButton = new QPushButton(KCLocalizedString(QStringLiteral("StopButton")), window);
    stopButton->setObjectName(QStringLiteral("mStopButton"));
    auto *contButton = new QPushButton(KCLocalizedString(QStringLiteral("ContinueButton")), window);
    contButton->setObjectName(QStringLiteral("mContButton"));
    // Stopping is the safe choice, so Return stops.
    stopButton->setDefault(true);
    layout->addWidget(textField);
    layout->addWidget(textView);
    layout->addWidget(linkButton, 0, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(viewButton);
    buttons->addStretch(1);
    buttons->addWidget(stopButton);
    buttons->addWidget(contButton);
    layout->addLayout(buttons);
    connect(contButton, &QPushButton::clicked, this, &KCCertAlertWindow::continueAction);
    connect(stopButton, &QPushButton::clicked, this, &KCCertAlertWindow::stopAction);
    connect(viewButton, &QPushButton::clicked, this, &KCCertAlertWindow::viewAction);
    connect(linkButton, &QAbstractButton::clicked, this, &KCCertAlertWindow::linkAction);
    return window;
}

int KCCertAlertWindow::showWindowWithMessage(const QString &message, const QList<QByteArray> &certificates, int code)
{
    std::unique_ptr<QDialog> window(loadWindow(message, certificates, code));
    mTimer->start(std::chrono::milliseconds(qint64(mTimeoutSeconds * 1000.0)));
    window->exec();
    // Whatever ended the run, a late time-out must change nothing.
    mTimer->stop();
    window.reset(); // the chain window goes with it
    mWindow = nullptr;
    // Closed without an answer (Escape, the window's close box): stop.
    if (mReturnCode == 0)
        mReturnCode = Stop;
    return mReturnCode;
}

void KCCertAlertWindow::end(int code)
{
    if (!mWindow || mReturnCode != 0)
        return;
    mReturnCode = code;
    mTimer->stop();
    mWindow->done(code);
}

void KCCertAlertWindow::continueAction() { end(Continue); }

void KCCertAlertWindow::stopAction() { end(Stop); }

void KCCertAlertWindow::timeoutAction() { end(TimedOut); }

void KCCertAlertWindow::viewAction()
{
    if (!mWindow)
        return;
    if (!mChainWindow)
        mChainWindow = new CertificateChainDialog(mCertsArray, mWindow);
    mChainWindow->open();
    mChainWindow->raise();
}

void KCCertAlertWindow::linkAction() { PLShellServices::shared().showCertFAQ(); }

} // namespace parley::shell
