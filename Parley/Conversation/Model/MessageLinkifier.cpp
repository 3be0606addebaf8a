#include "MessageLinkifier.h"

#include "Log.h"

#include <unicode/uregex.h>

#include <atomic>
#include <vector>

namespace {

// The patterns exactly as the service's clients have always run them
// (case-sensitive; \xA1-\xFE are the code points U+00A1 to U+00FE).
constexpr char16_t kEMailPattern[] =
    uR"PATTERN((([\xA1-\xFEa-z0-9_.-]+)@([\xA1-\xFEa-z0-9_-]+\.[\xA1-\xFEa-z0-9._-]*[a-z]{2,3}(\?[\xA1-\xFEa-z0-9=&\?]+)*)))PATTERN";
constexpr char16_t kEMailReplacement[] = u"<a href=\"mailto:$1\">$1</a>";

constexpr char16_t kWebPattern[] =
    uR"PATTERN(((((?#Protocol)(?:(?:ht|f)tp(?:s?)\:\/\/|~\/|\/)(?#Username:Password)(?:\w+:\w+@)?)|(www.))((?#Subdomains)(?:(?:[-\w\d{1-3}]+\.)+(?#TopLevel Domains)(?:com|org|net|gov|mil|biz|info|mobi|name|aero|jobs|edu|co\.uk|ac\.uk|it|fr|tv|museum|asia|local|travel|[a-z]{2})?)|(?#IP)((\b25[0-5]\b|\b[2][0-4][0-9]\b|\b[0-1]?[0-9]?[0-9]\b)(\.(\b25[0-5]\b|\b[2][0-4][0-9]\b|\b[0-1]?[0-9]?[0-9]\b)){3}))(?#Port)(?::[\d]{1,5})?(?#Directories)(?:(?:(?:\/(?:[-\w~!$+|.,=]|%[a-f\d]{2})+)+|\/)+|\?|#)?(?#Query)(?:(?:\?(?:[-\w~!$+|.,*:]|%[a-f\d{2}])+=?(?:[-\w~!$+|.,*:=]|%[a-f\d]{2})*)(?:&(?:[-\w~!$+|.,*:]|%[a-f\d{2}])+=?(?:[-\w~!$+|.,*:=]|%[a-f\d]{2})*)*)*(?#Anchor)(?:#(?:[-\w~!$ |/.,*:;=]|%[a-f\d]{2})*)?))PATTERN";
constexpr char16_t kWebReplacement[] = u"<a href=\"$1\" target=\"_blank\">$1</a>";

std::atomic<int> gTimeLimit{100};

// One compiled expression per pass and thread: compiling the web pattern
// costs far more than running it over a line.
class CompiledPattern
{
public:
    explicit CompiledPattern(const char16_t *pattern)
    {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        mExpression = uregex_open(reinterpret_cast<const UChar *>(pattern), -1, 0, &parseError, &status);
        if (U_FAILURE(status)) {
            parley::plLog(QStringLiteral("link pattern: %1 at offset %2")
                              .arg(QString::fromUtf8(u_errorName(status)))
                              .arg(parseError.offset));
            mExpression = nullptr;
        }
    }
    ~CompiledPattern()
    {
        if (mExpression)
            uregex_close(mExpression);
    }
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;
    URegularExpression *get() const { return mExpression; }

private:
    URegularExpression *mExpression = nullptr;
};

URegularExpression *expressionFor(MessageLinkifier::Pass pass)
{
    thread_local CompiledPattern email(kEMailPattern);
    thread_local CompiledPattern web(kWebPattern);
    return pass == MessageLinkifier::Pass::EMail ? email.get() : web.get();
}

// The anchors the e-mail pass made: "<a " to "</a>". Message text is escaped
// before the passes, so every "<a " in it is one of ours.
struct Piece
{
    QString text;
    bool anchor = false;
};

std::vector<Piece> splitAtAnchors(const QString &html)
{
    std::vector<Piece> pieces;
    qsizetype from = 0;
    while (from < html.size()) {
        const qsizetype open = html.indexOf(QLatin1String("<a "), from);
        const qsizetype close = open < 0 ? -1 : html.indexOf(QLatin1String("</a>"), open);
        if (open < 0 || close < 0) {
            pieces.push_back({html.mid(from), false});
            break;
        }
        if (open > from)
            pieces.push_back({html.mid(from, open - from), false});
        pieces.push_back({html.mid(open, close + 4 - open), true});
        from = close + 4;
    }
    return pieces;
}

} // namespace

std::optional<QString> MessageLinkifier::replaceAll(Pass pass, const QString &text)
{
    URegularExpression *expression = expressionFor(pass);
    if (!expression)
        return std::nullopt;
    const char16_t *replacement = pass == Pass::EMail ? kEMailReplacement : kWebReplacement;

    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(expression, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    uregex_setTimeLimit(expression, gTimeLimit.load(), &status);
    if (U_FAILURE(status))
        return std::nullopt;

    // Room for a few anchors first; the exact size on the second try.
    std::vector<UChar> out(size_t(text.size()) * 2 + 512);
    int32_t length = uregex_replaceAll(expression, reinterpret_cast<const UChar *>(replacement), -1, out.data(),
                                       int32_t(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.resize(size_t(length) + 1);
        uregex_reset(expression, 0, &status);
        length = uregex_replaceAll(expression, reinterpret_cast<const UChar *>(replacement), -1, out.data(),
                                   int32_t(out.size()), &status);
    }
    // The expression points at the text; let go of it before the text goes.
    UErrorCode ignored = U_ZERO_ERROR;
    uregex_setText(expression, u"", 0, &ignored);
    if (U_FAILURE(status))
        return std::nullopt;
    return QString(reinterpret_cast<const QChar *>(out.data()), length);
}

QString MessageLinkifier::linkify(const QString &escapedText)
{
    const QString mailed = replaceAll(Pass::EMail, escapedText).value_or(escapedText);
    if (!mailed.contains(QLatin1String("<a ")))
        return replaceAll(Pass::Web, mailed).value_or(mailed);

    QString out;
    out.reserve(mailed.size() + 64);
    for (const Piece &piece : splitAtAnchors(mailed))
        out += piece.anchor ? piece.text : replaceAll(Pass::Web, piece.text).value_or(piece.text);
    return out;
}

void MessageLinkifier::setTimeLimit(int steps) { gTimeLimit.store(steps); }

int MessageLinkifier::timeLimit() { return gTimeLimit.load(); }
