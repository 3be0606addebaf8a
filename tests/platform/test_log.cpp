#include "Log.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <stdexcept>

using namespace parley;

namespace {

QStringList gLines;
void collect(const QString &line) { gLines.append(line); }

int guardedObject(const void *object)
{
    PL_GUARD_OBJECT(object, -1);
    return 1;
}

int guardedFlag(bool flag)
{
    PL_GUARD_FLAG(flag, -1);
    return 1;
}

int logsException(bool doThrow)
{
    int reached = 0;
    PL_LOG_EXCEPTIONS(if (doThrow) throw std::runtime_error("bad input"); reached = 1);
    return reached;
}

struct GuardCase {
    const char *label;
    int (*run)();
    int expectedResult;
    const char *expectedPattern; // nullptr: nothing logged
};

void PrintTo(const GuardCase &c, std::ostream *os) { *os << c.label; }

class LogTest : public ::testing::TestWithParam<GuardCase> {
protected:
    void SetUp() override
    {
        gLines.clear();
        setLogSink(&collect);
    }
    void TearDown() override { setLogSink(nullptr); }
};

TEST_P(LogTest, GuardsLogTheSystemTextsWithFileAndLine)
{
    const GuardCase &c = GetParam();
    EXPECT_EQ(c.run(), c.expectedResult);
    if (!c.expectedPattern) {
        EXPECT_TRUE(gLines.isEmpty()) << gLines.join(QLatin1Char('|')).toStdString();
        return;
    }
    ASSERT_EQ(gLines.size(), 1);
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(QString::fromLatin1(c.expectedPattern)));
    EXPECT_TRUE(pattern.match(gLines[0]).hasMatch()) << gLines[0].toStdString();
}

static const int x = 0;

INSTANTIATE_TEST_SUITE_P(
    Log, LogTest,
    ::testing::Values(
        GuardCase{"nilObject", [] { return guardedObject(nullptr); }, -1,
                  R"(break : object is nil \(.*test_log\.cpp, \d+\))"},
        GuardCase{"presentObject", [] { return guardedObject(&x); }, 1, nullptr},
        GuardCase{"falseFlag", [] { return guardedFlag(false); }, -1,
                  R"(break : flag is false \(.*test_log\.cpp, \d+\))"},
        GuardCase{"trueFlag", [] { return guardedFlag(true); }, 1, nullptr},
        GuardCase{"exception", [] { return logsException(true); }, 0,
                  R"(exception = bad input, \(.*test_log\.cpp, \d+\))"},
        GuardCase{"noException", [] { return logsException(false); }, 1, nullptr}),
    [](const auto &info) { return std::string(info.param.label); });

} // namespace
