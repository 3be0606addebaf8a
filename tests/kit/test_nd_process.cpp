// Processes read from /proc: this test's own process, a child, a child whose
// executable name has spaces and parentheses, a bundle, and the description.
#include "NDProcess.h"
#include "PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A child that sleeps until the test ends it.
class Child
{
public:
    explicit Child(const QString &program)
    {
        mProcess.start(program, {QStringLiteral("600")});
        mProcess.waitForStarted(10000);
    }
    ~Child() { stop(); }
    void stop()
    {
        if (mProcess.state() != QProcess::NotRunning) {
            mProcess.kill();
            mProcess.waitForFinished(10000);
        }
    }
    qint64 pid() const { return mProcess.processId(); }
    bool running() const { return mProcess.state() == QProcess::Running; }

private:
    QProcess mProcess;
};

QString sleepProgram() { return QStandardPaths::findExecutable(QStringLiteral("sleep")); }

bool containsPid(const QList<NDProcess> &processes, qint64 pid)
{
    return std::any_of(processes.begin(), processes.end(), [pid](const NDProcess &p) { return p.processID() == pid; });
}

TEST(NDProcess, DescribesThisProcess)
{
    const NDProcess self = NDProcess::currentProcess();
    EXPECT_TRUE(self.isCurrentProcess());
    EXPECT_EQ(self.processID(), qint64(::getpid()));
    const QString executable = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    EXPECT_EQ(self.path(), executable);
    EXPECT_EQ(self.url(), QUrl::fromLocalFile(executable));
    EXPECT_EQ(self.name(), QFileInfo(executable).fileName());
    ASSERT_TRUE(self.launcher().has_value());
    EXPECT_EQ(self.launcher()->processID(), qint64(::getppid()));

    // Started after its parent and after system start; the machine has been up at least that long.
    double uptime = 0;
    QFile file(QStringLiteral("/proc/uptime"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    uptime = file.readAll().split(' ').value(0).toDouble();
    EXPECT_GT(self.launchTime(), 0.0);
    EXPECT_LE(self.launchTime(), uptime);
    EXPECT_GE(self.launchTime(), self.launcher()->launchTime());

    EXPECT_TRUE(containsPid(NDProcess::everyProcess(), ::getpid()));
    EXPECT_TRUE(containsPid(NDProcess::everyProcessNamed(self.name()), ::getpid()));
    // Other copies of this test program may run at the same time: look for this one among them.
    EXPECT_TRUE(containsPid(NDProcess::everyProcessBeginingWithPath(executable), ::getpid()));
    EXPECT_TRUE(NDProcess::processForPath(QCoreApplication::applicationFilePath()).has_value());
}

TEST(NDProcess, FollowsAChildUntilItEnds)
{
    if (sleepProgram().isEmpty())
        GTEST_SKIP() << "no sleep program";
    Child child(sleepProgram());
    ASSERT_TRUE(child.running());
    std::optional<NDProcess> process = NDProcess::processWithProcessID(child.pid());
    ASSERT_TRUE(process.has_value());
    EXPECT_EQ(process->name(), QStringLiteral("sleep"));
    EXPECT_EQ(process->launcher(), NDProcess::currentProcess());
    EXPECT_FALSE(process->isCurrentProcess());
    EXPECT_GE(process->launchTime(), NDProcess::currentProcess().launchTime());
    const QString executable = QFileInfo(sleepProgram()).canonicalFilePath();
    EXPECT_TRUE(containsPid(NDProcess::everyProcessBeginingWithPath(executable), child.pid()));
    EXPECT_TRUE(containsPid(NDProcess::everyProcessBeginingWithURL(QUrl::fromLocalFile(executable)), child.pid()));
    EXPECT_TRUE(containsPid(NDProcess::everyProcessNamed(QStringLiteral("sleep")), child.pid()));
    EXPECT_TRUE(process->wakeUpProcess());

    child.stop();
    EXPECT_FALSE(process->isValid());
    EXPECT_EQ(process->processID(), -1);
    EXPECT_TRUE(process->name().isNull());
    EXPECT_FALSE(NDProcess::processWithProcessID(child.pid()).has_value());
    EXPECT_FALSE(containsPid(NDProcess::everyProcess(), child.pid()));
}

TEST(NDProcess, ReadsAProcessWhoseNameHasSpacesAndParentheses)
{
    if (sleepProgram().isEmpty())
        GTEST_SKIP() << "no sleep program";
    QTemporaryDir dir;
    const QString odd = dir.filePath(QStringLiteral("we ird) (name"));
    ASSERT_TRUE(QFile::copy(sleepProgram(), odd));
    ASSERT_TRUE(QFile::setPermissions(odd, QFile::ReadOwner | QFile::ExeOwner));
    Child child(odd);
    ASSERT_TRUE(child.running());
    const NDProcess process(child.pid());
    EXPECT_EQ(process.name(), QStringLiteral("we ird) (name"));
    // The fields after the name were found: the parent is this process.
    EXPECT_EQ(process.launcher(), NDProcess::currentProcess());
    EXPECT_EQ(NDProcess::processForPath(odd), process);
    EXPECT_EQ(NDProcess::firstProcessNamed(QStringLiteral("we ird) (name")), process);
}

TEST(NDProcess, FindsTheProcessOfABundleByItsExecutable)
{
    if (sleepProgram().isEmpty())
        GTEST_SKIP() << "no sleep program";
    QTemporaryDir dir;
    const QString bundle = dir.filePath(QStringLiteral("Probe.app"));
    ASSERT_TRUE(QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS")));
    const QString executable = bundle + QStringLiteral("/Contents/MacOS/parley-probe");
    ASSERT_TRUE(QFile::copy(sleepProgram(), executable));
    ASSERT_TRUE(QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(parley::PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                                                QVariantMap{{QStringLiteral("CFBundleExecutable"),
                                                             QStringLiteral("parley-probe")}})
                    .isEmpty());
    EXPECT_FALSE(NDProcess::processForApplicationPath(bundle).has_value()); // not running yet

    Child child(executable);
    ASSERT_TRUE(child.running());
    const std::optional<NDProcess> found = NDProcess::processForApplicationPath(bundle);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->processID(), child.pid());
    EXPECT_EQ(NDProcess::processForApplicationURL(QUrl::fromLocalFile(bundle)), found);
    EXPECT_EQ(NDProcess::processForApplicationPath(executable), found);

    // A bundle whose property list names a path outside it finds nothing.
    ASSERT_TRUE(parley::PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                                                QVariantMap{{QStringLiteral("CFBundleExecutable"),
                                                             QStringLiteral("../../../x")}})
                    .isEmpty());
    EXPECT_FALSE(NDProcess::processForApplicationPath(bundle).has_value());
    EXPECT_FALSE(NDProcess::processForApplicationPath(dir.filePath(QStringLiteral("missing.app"))).has_value());
}

TEST(NDProcess, SpecialNumbers)
{
    const NDProcess none(NDProcess::kNoProcess);
    EXPECT_TRUE(none.isNoProcess());
    EXPECT_EQ(none.name(), QStringLiteral("no process"));
    EXPECT_EQ(none.description(), QStringLiteral("no process"));
    EXPECT_EQ(none.processID(), -1);
    const NDProcess system(NDProcess::kSystemProcess);
    EXPECT_TRUE(system.isSystemProcess());
    EXPECT_EQ(system.name(), QStringLiteral("system process"));
    EXPECT_FALSE(NDProcess::processWithProcessID(-3).has_value());
}

struct DescriptionCase {
    const char *name;
    double seconds;
    quint32 type, signature;
    const char *expected;
};

class NDProcessDescription : public ::testing::TestWithParam<DescriptionCase>
{
};

TEST_P(NDProcessDescription, SplitsTheLaunchTimeAndNamesTheCodes)
{
    const DescriptionCase &c = GetParam();
    EXPECT_EQ(NDProcess::descriptionOf(QStringLiteral("Finder"), 42, c.seconds, c.type, c.signature),
              QString::fromUtf8(c.expected))
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NDProcessDescription,
    ::testing::Values(
        DescriptionCase{"ticks223530", 223530 / 60.0, 0, 0,
                        "name:\"Finder\",\tprocces ID: 42,\ttime:[1h 2m 5.5s],\ttype:'NULL',\tsignature:'NULL'"},
        DescriptionCase{"zero", 0, 0x4150504C, 0x4D414353,
                        "name:\"Finder\",\tprocces ID: 42,\ttime:[0h 0m 0.0s],\ttype:'APPL',\tsignature:'MACS'"},
        DescriptionCase{"dayAndMore", 90061.3, 0, 0,
                        "name:\"Finder\",\tprocces ID: 42,\ttime:[25h 1m 1.3s],\ttype:'NULL',\tsignature:'NULL'"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
