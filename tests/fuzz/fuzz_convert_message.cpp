// Arbitrary text as a peer's chat message: its transcript HTML may hold only
// the transcript's own tags (links, line breaks, pictures), never a peer's;
// and the links found in it lie in order inside the text, a web link never
// holding a blank or a non-ASCII letter nor ending in punctuation left out.

#include "EmoticonLookup.h"
#include "FuzzSupport.h"
#include "MessageLinkifier.h"
#include "TranscriptHtml.h"

#include <cstddef>
#include <cstdint>

namespace {

class Emoticons final : public EmoticonLookup
{
public:
    QStringList emoticonTokens() const override
    {
        return {QStringLiteral("/smile/"), QStringLiteral("/a/"), QStringLiteral("/<b>/"), QStringLiteral("//")};
    }
    QString imagePathForToken(const QString &token) const override
    {
        return token == QLatin1String("/a/") ? QString() : QStringLiteral("/e/\"x\"") + token;
    }
};

bool startsTag(QStringView rest)
{
    for (const char *tag : {"<a href=\"", "</a>", "<br>", "<IMG SRC=\"file://", "<FONT FACE=\"", "</FONT>", "<a>",
                            "<TABLE", "</TABLE>", "<TR", "</TR>", "<TD", "</TD>"})
        if (rest.startsWith(QLatin1String(tag)))
            return true;
    return false;
}

void checkLinks(const QString &text)
{
    qsizetype previousEnd = 0;
    for (const MessageLink &link : MessageLinkifier::findLinks(text)) {
        if (link.start < previousEnd || link.length <= 0 || link.start + link.length > text.size())
            __builtin_trap();
        previousEnd = link.start + link.length;
        const QStringView shown = QStringView(text).mid(link.start, link.length);
        if (link.mail) {
            if (!shown.contains(QLatin1Char('@')))
                __builtin_trap();
            continue;
        }
        const bool scheme = shown.startsWith(QLatin1String("http://")) || shown.startsWith(QLatin1String("https://"))
                            || shown.startsWith(QLatin1String("www."));
        if (!scheme)
            continue; // the "/" and "~/" forms keep their old pattern
        if (QStringLiteral(".,;:!?'\"").contains(shown.back()))
            __builtin_trap();
        for (const QChar c : shown)
            if (c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || (c.unicode() >= 0x80 && c.isLetter()))
                __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parley::fuzz::silenceLog();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static const Emoticons emoticons;
    checkLinks(text);
    const QString html = TranscriptHtml::chatLine(text, text.left(8), QStringLiteral("255"), true, &emoticons);
    // Inside a tag, a quoted value never holds "<", ">" or a quote of its own.
    bool inTag = false;
    QChar quote;
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!inTag) {
            if (c == QLatin1Char('>'))
                __builtin_trap();
            if (c == QLatin1Char('<')) {
                if (!startsTag(QStringView(html).mid(i)))
                    __builtin_trap();
                inTag = true;
            }
            continue;
        }
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else if (c == QLatin1Char('<') || c == QLatin1Char('>'))
                __builtin_trap();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            inTag = false;
        } else if (c == QLatin1Char('<')) {
            __builtin_trap();
        }
    }
    if (inTag)
        __builtin_trap();
    return 0;
}
