// Common main of every GUI test binary: offscreen platform, every folder the
// program may write to in a fresh temporary folder, the Korean interface, and
// then one QApplication for the whole binary.
#include "TestSupport.h"
#include "WebEngineSanitizerOptions.h"

#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox", 1);
    ::setenv("QT_QUICK_BACKEND", "software", 1);
    ::setenv("PARLEY_RESOURCE_DIR", PARLEY_RESOURCE_BUILD_DIR, 0);
    parley::test::isolateHomeFolders();
    parley::UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                           QLatin1String(parley::kAppleLanguagesKey));
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    parley::test::removeIsolatedHome();
    return result;
}
