// The shell's small windows: the certificate alert and its chain, and the
// About box. Their pictures come from the screenshot program's scenes.
#include "AboutBox.h"
#include "AppController.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "CertificateChainDialog.h"
#include "KCCertAlertWindow.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLRecordingShell.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestPki.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

QAbstractButton *button(QDialog *window, const char *name)
{
    return window ? window->findChild<QAbstractButton *>(QLatin1String(name)) : nullptr;
}

// Runs `act` on the open alert as soon as it is shown (its exec() is running).
void whenShown(KCCertAlertWindow &alert, std::function<void(QDialog *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &alert, act = std::move(act)] {
        if (!alert.window() || !alert.window()->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(alert.window());
    });
    timer->start();
}

QList<QByteArray> chainOf(const QString &pemPath)
{
    QProcess tool;
    tool.start(QStringLiteral(PARLEY_OPENSSL_TOOL), {"x509", "-in", pemPath, "-outform", "DER"});
    tool.waitForFinished(30000);
    return {tool.readAllStandardOutput()};
}

TEST(KCCertAlertWindow, EachEndingActionIsItsAnswer)
{
    const struct {
        const char *button;
        int answer;
    } cases[] = {{"mContButton", PLCertAlert::Continue}, {"mStopButton", PLCertAlert::Stop}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        KCCertAlertWindow alert;
        QString shownText;
        QString shownMessage;
        whenShown(alert, [&](QDialog *window) {
            shownText = window->findChild<QPlainTextEdit *>(QStringLiteral("mTextView"))->toPlainText();
            shownMessage = window->findChild<QLabel *>(QStringLiteral("mTextField"))->text();
            QTest::mouseClick(button(window, c.button), Qt::LeftButton);
        });
        EXPECT_EQ(alert.showWindowWithMessage(QStringLiteral("<b>ns.parley.test</b>"), {}, 5), c.answer);
        EXPECT_EQ(alert.getReturnCode(), c.answer);
        EXPECT_EQ(shownText, KCLocalizedString(QStringLiteral("RecoverableCertErr")));
        EXPECT_EQ(shownMessage, QStringLiteral("<b>ns.parley.test</b>")) << "the message is plain text";
        EXPECT_EQ(alert.window(), nullptr);
    }
}

TEST(KCCertAlertWindow, ClosingWithoutAnAnswerStops)
{
    KCCertAlertWindow alert;
    whenShown(alert, [](QDialog *window) { QTest::keyClick(window, Qt::Key_Escape); });
    EXPECT_EQ(alert.showWindowWithMessage(QStringLiteral("message"), {}, 0), PLCertAlert::Stop);
}

TEST(KCCertAlertWindow, NoAnswerBeforeTheTimeOutIsTheTimeOut)
{
    KCCertAlertWindow alert(0.05);
    EXPECT_EQ(alert.showWindowWithMessage(QStringLiteral("message"), {}, -2), PLCertAlert::TimedOut);
    EXPECT_EQ(alert.getReturnCode(), PLCertAlert::TimedOut);
}

TEST(KCCertAlertWindow, ViewingTheChainLeavesTheAlertOpenAndALateTimeOutChangesNothing)
{
    const parley::test::TestPki &pki = parley::test::TestPki::shared();
    ASSERT_TRUE(pki.made);
    KCCertAlertWindow alert(0.3);
    int codeWhileViewing = -1;
    QStringList rows;
    whenShown(alert, [&](QDialog *window) {
        QTest::mouseClick(button(window, "mViewButton"), Qt::LeftButton);
        codeWhileViewing = alert.getReturnCode();
        QDialog *chain = alert.certificateWindow();
        ASSERT_TRUE(chain && chain->isVisible());
        QTreeWidget *tree = static_cast<CertificateChainDialog *>(chain)->tree();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            rows << (*it)->text(0) + QLatin1Char('|') + (*it)->text(1);
        EXPECT_TRUE(window->isVisible());
        QTest::mouseClick(button(window, "mContButton"), Qt::LeftButton);
    });
    EXPECT_EQ(alert.showWindowWithMessage(QStringLiteral("message"), chainOf(pki.selfSignedChain), 5),
              PLCertAlert::Continue);
    EXPECT_EQ(codeWhileViewing, 0);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.first(), QStringLiteral("CN=ns.parley.test|"));
    EXPECT_TRUE(rows.contains(KCLocalizedString(QStringLiteral("CertIssuer")) + QStringLiteral("|CN=ns.parley.test")));
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const QString &row) {
        // Shown on two lines of sixteen bytes.
        return QString(row).replace(QLatin1Char('\n'), QLatin1Char(':'))
            .contains(QRegularExpression(QStringLiteral("\\|([0-9A-F]{2}:){31}[0-9A-F]{2}$")));
    }));
    // The time-out's moment passes after the answer.
    parley::test::waitUntil([] { return false; }, 400);
    EXPECT_EQ(alert.getReturnCode(), PLCertAlert::Continue);
}

TEST(KCCertAlertWindow, TheLinkOpensTheCertificateHelp)
{
    auto *recording = dynamic_cast<PLRecordingShell *>(&PLShellServices::shared());
    ASSERT_NE(recording, nullptr) << "no shell installed: the recording stand-in answers";
    recording->clear();
    KCCertAlertWindow alert;
    whenShown(alert, [](QDialog *window) {
        QTest::mouseClick(button(window, "mLinkButton"), Qt::LeftButton);
        EXPECT_TRUE(window->isVisible()) << "the link does not end the alert";
        QTest::mouseClick(button(window, "mStopButton"), Qt::LeftButton);
    });
    EXPECT_EQ(alert.showWindowWithMessage(QStringLiteral("message"), {}, 1), PLCertAlert::Stop);
    EXPECT_EQ(recording->calls(), QStringList{QStringLiteral("showCertFAQ")});
}

TEST(AboutBox, ShowsTheVersionAndClosesWhenItLosesTheFocusOrIsClicked)
{
    AboutBox *box = AboutBox::sharedBox();
    box->showWindow();
    EXPECT_TRUE(box->versionField->text().contains(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+  \\( build:\\S+ \\)$"))))
        << box->versionField->text().toStdString();
    // Signed out: the format with an empty name.
    EXPECT_EQ(box->userField->text(), KCLocalizedString(QStringLiteral("AboutUser")).arg(QString()));
    EXPECT_EQ(AboutBox::sharedBox(), box) << "one at a time";

    QPointer<AboutBox> first(box);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(box, &deactivate);
    ASSERT_TRUE(parley::test::waitUntil([&] { return first.isNull(); }));
    EXPECT_EQ(AboutBox::existingBox(), nullptr);

    QPointer<AboutBox> second(AboutBox::sharedBox());
    second->showWindow();
    QTest::mouseClick(second->whiteView, Qt::LeftButton);
    ASSERT_TRUE(parley::test::waitUntil([&] { return second.isNull(); }));
}

TEST(AboutBox, NamesTheSignedInUser)
{
    FreshSettings settings;
    makeMessageBoxBundle(settings.resourceFolder(), QStringLiteral("1.0"));
    RecordingAccountSession session;
    session.loggedIn = true;
    ManualScheduler scheduler;
    FakeConnectivity net;
    AppController::Options o;
    o.session = &session;
    o.connectivity = &net;
    o.scheduler = &scheduler;
    static DistributedNotificationCenter offline(QDBusConnection(QStringLiteral("about-offline")));
    o.plugInCenter = privateCenter() ? privateCenter() : &offline;
    o.startPowerNotifications = false;
    o.installCoreServices = false;
    o.resourceDirectory = settings.resourceFolder();
    AppController controller(o);
    PLMyInfoManager::sharedManager().setName(QStringLiteral("Alice <Kim>"));
    controller.openAboutBox();
    AboutBox *box = AboutBox::existingBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->userField->text(), KCLocalizedString(QStringLiteral("AboutUser")).arg(QStringLiteral("Alice <Kim>")));
    EXPECT_EQ(box->userField->textFormat(), Qt::PlainText);
    box->hideWindow();
    PLMyInfoManager::sharedManager().setName(QString());
}

} // namespace

TEST(MainWindow, EveryMenuTitleFitsTheDefaultWidthInBothLanguages)
{
    for (const char *language : {"ko", "en"}) {
        SCOPED_TRACE(language);
        FreshSettings settings{QLatin1String(language)};
        MainWindow window;
        // The buddy list and its view options fill these in the program.
        window.menuAt(MainWindow::BuddyMenu)->addAction(QStringLiteral("item"));
        window.menuAt(MainWindow::ViewMenu)->addAction(QStringLiteral("item"));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_EQ(window.width(), 300);
        QMenuBar *bar = window.menuBar();
        const QToolButton *overflow = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        ASSERT_NE(overflow, nullptr);
        EXPECT_FALSE(overflow->isVisible()) << "a menu is hidden behind the overflow button";
        for (int i = 0; i < MainWindow::MenuCount; ++i) {
            const QAction *title = window.menuAt(MainWindow::MenuIndex(i))->menuAction();
            if (title->isVisible())
                EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(const_cast<QAction *>(title))))
                    << title->text().toStdString();
        }
    }
}
