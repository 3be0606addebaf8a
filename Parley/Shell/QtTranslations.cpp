#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace parley::shell {

bool installQtTranslations(const QString &language)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language.isEmpty() || language == QLatin1String("en"))
        return false;
    auto translator = std::make_unique<QTranslator>();
    // "qt_ko" bundles qtbase and the other modules' catalogues.
    if (!translator->load(QLatin1String("qt_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

} // namespace parley::shell
