#include "MessageLinkifier.h"

#include "Log.h"

#include <unicode/uregex.h>

#include <atomic>
#include <string_view>

namespace {

// The patterns exactly as the service's clients have always run them
// (case-sensitive; \xA1-\xFE are the code points U+00A1 to U+00FE). Of the
// web pattern only the "/" and "~/" forms are taken: its list of top-level
// domains cut addresses with a scheme or "www." short.
constexpr char16_t kEMailPattern[] =
    uR"PATTERN((([\xA1-\xFEa-z0-9_.-]+)@([\xA1-\xFEa-z0-9_-]+\.[\xA1-\xFEa-z0-9._-]*[a-z]{2,3}(\?[\xA1-\xFEa-z0-9=&\?]+)*)))PATTERN";

constexpr char16_t kWebPattern[] =
    uR"PATTERN(((((?#Protocol)(?:(?:ht|f)tp(?:s?)\:\/\/|~\/|\/)(?#Username:Password)(?:\w+:\w+@)?)|(www.))((?#Subdomains)(?:(?:[-\w\d{1-3}]+\.)+(?#TopLevel Domains)(?:com|org|net|gov|mil|biz|info|mobi|name|aero|jobs|edu|co\.uk|ac\.uk|it|fr|tv|museum|asia|local|travel|[a-z]{2})?)|(?#IP)((\b25[0-5]\b|\b[2][0-4][0-9]\b|\b[0-1]?[0-9]?[0-9]\b)(\.(\b25[0-5]\b|\b[2][0-4][0-9]\b|\b[0-1]?[0-9]?[0-9]\b)){3}))(?#Port)(?::[\d]{1,5})?(?#Directories)(?:(?:(?:\/(?:[-\w~!$+|.,=]|%[a-f\d]{2})+)+|\/)+|\?|#)?(?#Query)(?:(?:\?(?:[-\w~!$+|.,*:]|%[a-f\d{2}])+=?(?:[-\w~!$+|.,*:=]|%[a-f\d]{2})*)(?:&(?:[-\w~!$+|.,*:]|%[a-f\d{2}])+=?(?:[-\w~!$+|.,*:=]|%[a-f\d]{2})*)*)*(?#Anchor)(?:#(?:[-\w~!$ |/.,*:;=]|%[a-f\d]{2})*)?))PATTERN";

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
    thread_local CompiledPattern path(kWebPattern);
    return pass == MessageLinkifier::Pass::EMail ? email.get() : path.get();
}

bool isAsciiLetterOrDigit(char16_t u)
{
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// The length of the scheme or "www." that begins a link here, 0 when none
// (in lower case, as the clients have always taken them).
qsizetype webPrefixAt(QStringView text, qsizetype at)
{
    const char16_t first = text.at(at).unicode();
    if (first != u'h' && first != u'w')
        return 0;
    // Only what a click can open: no ftp.
    static constexpr std::u16string_view kPrefixes[] = {u"https://", u"http://", u"www."};
    const QStringView rest = text.mid(at);
    for (const std::u16string_view prefix : kPrefixes) {
        if (!rest.startsWith(QStringView(prefix.data(), qsizetype(prefix.size()))))
            continue;
        if (at == 0)
            return qsizetype(prefix.size());
        // Not the tail of a word, and "www." not the middle of a host or an
        // e-mail address.
        const char16_t before = text.at(at - 1).unicode();
        if (isAsciiLetterOrDigit(before))
            return 0;
        if (prefix == u"www." && (before == u'.' || before == u'-' || before == u'_' || before == u'@'))
            return 0;
        return qsizetype(prefix.size());
    }
    return 0;
}

bool endsWebLink(QStringView text, qsizetype at)
{
    const QChar c = text.at(at);
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || u == u'<' || u == u'>' || c.isSpace())
        return true;
    if (u < 0x80)
        return false;
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        return QChar::isLetter(QChar::surrogateToUcs4(c, text.at(at + 1)));
    return c.isLetter();
}

// The end of a link once the punctuation after it is left out: . , ; : ! ?
// ' " and a ) or ] that closes nothing inside the link.
qsizetype trimmedEnd(QStringView text, qsizetype start, qsizetype bodyStart, qsizetype end)
{
    qsizetype parens = 0;
    qsizetype brackets = 0;
    for (qsizetype i = start; i < end; ++i) {
        const char16_t u = text.at(i).unicode();
        parens += u == u'(' ? 1 : u == u')' ? -1 : 0;
        brackets += u == u'[' ? 1 : u == u']' ? -1 : 0;
    }
    while (end > bodyStart) {
        const char16_t u = text.at(end - 1).unicode();
        if (u == u'.' || u == u',' || u == u';' || u == u':' || u == u'!' || u == u'?' || u == u'\'' || u == u'"') {
            --end;
        } else if (u == u')' && parens < 0) {
            ++parens;
            --end;
        } else if (u == u']' && brackets < 0) {
            ++brackets;
            --end;
        } else {
            break;
        }
    }
    return end;
}

void appendShifted(QList<MessageLink> &links, const QList<MessageLink> &found, qsizetype offset)
{
    for (MessageLink link : found) {
        link.start += offset;
        links.append(link);
    }
}

// The e-mail addresses of a stretch without web links, then the "/" and "~/"
// forms between them.
void linksBetween(QStringView text, qsizetype from, qsizetype to, QList<MessageLink> &links)
{
    const QStringView gap = text.mid(from, to - from);
    QList<MessageLink> mails;
    if (gap.contains(QLatin1Char('@')))
        mails = MessageLinkifier::matches(MessageLinkifier::Pass::EMail, gap).value_or(QList<MessageLink>());
    qsizetype pieceStart = 0;
    for (qsizetype i = 0; i <= mails.size(); ++i) {
        const qsizetype pieceEnd = i < mails.size() ? mails.at(i).start : gap.size();
        const QStringView piece = gap.mid(pieceStart, pieceEnd - pieceStart);
        if (piece.contains(QLatin1Char('/')))
            appendShifted(links,
                          MessageLinkifier::matches(MessageLinkifier::Pass::Path, piece).value_or(QList<MessageLink>()),
                          from + pieceStart);
        if (i < mails.size()) {
            appendShifted(links, {mails.at(i)}, from);
            pieceStart = mails.at(i).start + mails.at(i).length;
        }
    }
}

} // namespace

std::optional<QList<MessageLink>> MessageLinkifier::matches(Pass pass, QStringView text)
{
    URegularExpression *expression = expressionFor(pass);
    if (!expression)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    uregex_setText(expression, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    uregex_setTimeLimit(expression, gTimeLimit.load(), &status);
    QList<MessageLink> found;
    while (U_SUCCESS(status) && uregex_findNext(expression, &status)) {
        const int32_t start = uregex_start(expression, 0, &status);
        const int32_t end = uregex_end(expression, 0, &status);
        if (U_FAILURE(status) || end <= start)
            break;
        // Of the web pattern, only what begins "/" or "~/".
        const char16_t first = text.at(start).unicode();
        if (pass == Pass::Path && first != u'/' && !(first == u'~' && start + 1 < end && text.at(start + 1) == u'/'))
            continue;
        found.append({start, end - start, pass == Pass::EMail});
    }
    // The expression points at the text; let go of it before the text goes.
    UErrorCode ignored = U_ZERO_ERROR;
    uregex_setText(expression, u"", 0, &ignored);
    if (U_FAILURE(status))
        return std::nullopt;
    return found;
}

QList<MessageLink> MessageLinkifier::findLinks(QStringView text)
{
    QList<MessageLink> links;
    qsizetype gapStart = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype prefix = webPrefixAt(text, at);
        if (prefix == 0) {
            ++at;
            continue;
        }
        qsizetype end = at + prefix;
        while (end < text.size() && !endsWebLink(text, end))
            ++end;
        end = trimmedEnd(text, at, at + prefix, end);
        if (end == at + prefix) { // a scheme or "www." with nothing after it
            at = end;
            continue;
        }
        linksBetween(text, gapStart, at, links);
        links.append({at, end - at, false});
        gapStart = at = end;
    }
    linksBetween(text, gapStart, text.size(), links);
    return links;
}

void MessageLinkifier::setTimeLimit(int steps) { gTimeLimit.store(steps); }

int MessageLinkifier::timeLimit() { return gTimeLimit.load(); }
