#pragma once

// Shortening a notice's text to its line: when the whole text does not fit,
// the longest start of it followed by "..." that still fits. The head line
// shortens the buddy's name inside its format instead, so the format's own
// words stay whole.

#include <QString>

#include <functional>

namespace parley::shell {

class ToasterTextFitting
{
public:
    // Texts longer than this are cut before fitting.
    static constexpr qsizetype kLongestText = 400;

    // Answers whether a text fits the line.
    using Fits = std::function<bool(const QString &)>;

    static QString fit(const QString &text, const Fits &fits);
    // `format` holds "%1" where the name goes.
    static QString fitFormatted(const QString &format, const QString &name, const Fits &fits);

private:
    // The first i characters and "...", formatted, for the longest i that fits.
    static QString shorten(const QString &text, const std::function<QString(const QString &)> &shape,
                           const Fits &fits);
};

} // namespace parley::shell
