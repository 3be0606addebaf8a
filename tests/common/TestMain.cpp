// Common main of every test binary: every folder the program may write to is
// pointed at a fresh temporary folder before Qt or anything else reads the
// environment, so no test touches the real home folder.
#include "TestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    parley::test::isolateHomeFolders();
    QCoreApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    parley::test::removeIsolatedHome();
    return result;
}
