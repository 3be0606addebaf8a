#pragma once

// Qt's own texts (the file dialog, the buttons of its message boxes, "Show
// Details...") in the interface language, from the translations Qt installs
// (Debian: qt6-translations-l10n).

#include <QString>

namespace parley::shell {

// Installs Qt's translations for `language` ("ko", "en"), replacing those of
// an earlier call; answers whether a translation was loaded (English needs
// none). The application object must exist.
bool installQtTranslations(const QString &language);

} // namespace parley::shell
