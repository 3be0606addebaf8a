// The login item as an XDG autostart entry: written in the user's
// configuration folder, accepted by desktop-file-validate, naming the program
// by a path that survives blanks, quotes and the other reserved characters,
// and removed without touching anything else.
#include "Preferences/AutostartEntry.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace parley;

namespace {

// The Exec key's value read back as the Desktop Entry rules say: first the
// string escapes of the file, then the quoting of one argument.
QStringList execArguments(const QString &desktopText)
{
    QString value;
    for (const QString &line : desktopText.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Exec=")))
            value = line.mid(5);
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == QLatin1Char('s') ? QChar(' ')
                       : next == QLatin1Char('n') ? QChar('\n')
                       : next == QLatin1Char('t') ? QChar('\t')
                       : next == QLatin1Char('r') ? QChar('\r')
                                                  : next;
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool started = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < unescaped.size())
                current += unescaped[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = started = true;
        } else if (c == QLatin1Char(' ')) {
            if (started)
                arguments << current;
            current.clear();
            started = false;
        } else if (c == QLatin1Char('%') && i + 1 < unescaped.size() && unescaped[i + 1] == QLatin1Char('%')) {
            current += c;
            ++i;
            started = true;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        arguments << current;
    return arguments;
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class AutostartTest : public ::testing::Test
{
protected:
    void TearDown() override { QFile::remove(AutostartEntry::path()); }
};

TEST_F(AutostartTest, TheEntryLivesInTheUsersConfigurationFolder)
{
    EXPECT_EQ(AutostartEntry::path(),
              QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("autostart/parley.desktop")));
    EXPECT_TRUE(AutostartEntry::path().startsWith(test::isolatedHome()));
}

TEST_F(AutostartTest, PathsWithReservedCharactersComeBackWhole)
{
    const char *const paths[] = {
        "/usr/bin/parley",
        "/home/a b/Parley Apps/parley",
        "/opt/it's \"quoted\"/parley",
        "/opt/$HOME/`x`/back\\slash/parley",
        "/opt/100%/parley",
        "/opt/tab\there;&|<>~*?#()/parley",
    };
    for (const char *path : paths) {
        SCOPED_TRACE(path);
        const QString program = QString::fromUtf8(path);
        ASSERT_TRUE(AutostartEntry::install(program));
        const QString text = readFile(AutostartEntry::path());
        EXPECT_EQ(execArguments(text), QStringList{program});
        EXPECT_TRUE(text.startsWith(QLatin1String("[Desktop Entry]\n")));
        EXPECT_TRUE(text.contains(QLatin1String("\nType=Application\n")));
    }
}

TEST_F(AutostartTest, DesktopFileValidateAcceptsTheEntry)
{
    const QString validator = QStringLiteral(PARLEY_DESKTOP_FILE_VALIDATE);
    if (validator.isEmpty() || !QFile::exists(validator))
        GTEST_SKIP() << "desktop-file-validate is not installed (scripts/setup installs it)";
    for (const char *path : {"/usr/bin/parley", "/home/a b/it's \"here\"/$x/parley"}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(AutostartEntry::install(QString::fromUtf8(path)));
        QProcess check;
        check.start(validator, {AutostartEntry::path()});
        ASSERT_TRUE(check.waitForFinished(30000));
        const QString output = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
        EXPECT_EQ(check.exitCode(), 0) << output.toStdString();
        EXPECT_FALSE(output.contains(QLatin1String("error"), Qt::CaseInsensitive)) << output.toStdString();
    }
}

TEST_F(AutostartTest, RemovingTakesOurEntryOnly)
{
    const QString folder = QFileInfo(AutostartEntry::path()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString other = QDir(folder).filePath(QStringLiteral("other.desktop"));
    QFile otherFile(other);
    ASSERT_TRUE(otherFile.open(QIODevice::WriteOnly));
    otherFile.write("[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
    otherFile.close();

    ASSERT_TRUE(AutostartEntry::install(QStringLiteral("/usr/bin/parley")));
    EXPECT_TRUE(AutostartEntry::remove());
    EXPECT_FALSE(QFile::exists(AutostartEntry::path()));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_TRUE(AutostartEntry::remove()) << "nothing to remove is no failure";
    QFile::remove(other);
}

TEST_F(AutostartTest, ApplyFollowsTheSetting)
{
    AutostartEntry::apply(true);
    EXPECT_EQ(execArguments(readFile(AutostartEntry::path())),
              QStringList{QCoreApplication::applicationFilePath()});
    AutostartEntry::apply(false);
    EXPECT_FALSE(QFile::exists(AutostartEntry::path()));
}

} // namespace
