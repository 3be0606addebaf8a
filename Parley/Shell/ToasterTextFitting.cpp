#include "ToasterTextFitting.h"

namespace parley::shell {

QString ToasterTextFitting::shorten(const QString &fullText, const std::function<QString(const QString &)> &shape,
                                    const Fits &fits)
{
    // A notice shows a few lines at most: a longer text is cut before it is
    // laid out at all, and then shortened like any other that does not fit.
    const QString text = fullText.size() > kLongestText ? fullText.left(kLongestText) : fullText;
    if (text.size() == fullText.size()) {
        const QString whole = shape(text);
        if (fits(whole))
            return whole;
    }
    // The longest start followed by "..." that fits. A longer start never
    // fits where a shorter one does not, so the search halves the range.
    const auto candidate = [&](qsizetype i) {
        // A surrogate pair is never cut in half.
        if (i > 0 && text.at(i - 1).isHighSurrogate())
            --i;
        return shape(text.left(i) + QStringLiteral("..."));
    };
    if (text.size() < fullText.size() && fits(candidate(text.size())))
        return candidate(text.size());
    qsizetype low = 0;            // fits (or is the bare "...")
    qsizetype high = text.size(); // known not to fit
    while (high - low > 1) {
        const qsizetype middle = low + (high - low) / 2;
        if (fits(candidate(middle)))
            low = middle;
        else
            high = middle;
    }
    return candidate(low);
}

QString ToasterTextFitting::fit(const QString &text, const Fits &fits)
{
    return shorten(text, [](const QString &s) { return s; }, fits);
}

QString ToasterTextFitting::fitFormatted(const QString &format, const QString &name, const Fits &fits)
{
    return shorten(name, [&format](const QString &s) { return format.arg(s); }, fits);
}

} // namespace parley::shell
