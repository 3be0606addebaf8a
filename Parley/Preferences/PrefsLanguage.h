#pragma once

// The language pop-up of the General pane: six entries, each with the code
// that the interface-language setting ("AppleLanguages") takes.

#include <QString>
#include <QStringList>

#include <optional>

namespace parley {

class PrefsLanguage
{
public:
    PrefsLanguage() = delete;

    // The entries' string keys, in pop-up order.
    static QStringList titleKeys();
    // The pop-up index for the first preferred language; none for Korean,
    // whose users keep the pop-up as it is built.
    static std::optional<int> indexForLanguage(const QString &code);
    // The code stored for a pop-up index; English for an unknown one.
    static QString codeForIndex(int index);
};

} // namespace parley
