#include "PLGroupCacheFastReader.h"

#include "PropertyListFastReader.h"

#include <array>
#include <cstring>
#include <string_view>

namespace parley {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                   "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                   "<plist version=\"1.0\">\n"
                                   "<array>\n"sv;
constexpr std::string_view kTail = "</array>\n</plist>\n"sv;

constexpr std::string_view kCacheNumber = "\t<dict>\n\t\t<key>groupCacheNo</key>\n\t\t<integer>"sv;
constexpr std::string_view kCacheType = "</integer>\n\t\t<key>type</key>\n\t\t<string>Cache</string>\n"
                                        "\t\t<key>willDownloadGroup</key>\n\t\t"sv;
constexpr std::string_view kLineStart = "\t<dict>\n\t\t<key>"sv;
constexpr std::string_view kBuddyCMN = "buddyCMN</key>\n\t\t<string>"sv;
constexpr std::string_view kGroupID = "groupId</key>\n\t\t<string>"sv;
constexpr std::string_view kThenGroupID = "</string>\n\t\t<key>groupId</key>\n\t\t<string>"sv;
constexpr std::string_view kThenGroupName = "</string>\n\t\t<key>groupName</key>\n\t\t<string>"sv;
constexpr std::string_view kThenIsLast = "</string>\n\t\t<key>isLast</key>\n\t\t"sv;
constexpr std::string_view kGroupEnd = "\t\t<key>type</key>\n\t\t<string>Group</string>\n\t</dict>\n"sv;
constexpr std::string_view kBuddyEnd = "\t\t<key>type</key>\n\t\t<string>Buddy</string>\n\t</dict>\n"sv;
constexpr std::string_view kCacheEnd = "\t</dict>\n"sv;

class Cursor {
public:
    explicit Cursor(const QByteArray &data) : mAt(data.constData()), mEnd(data.constData() + data.size()) {}

    bool atEnd() const { return mAt == mEnd; }

    bool skip(std::string_view expected)
    {
        if (size_t(mEnd - mAt) < expected.size() || std::memcmp(mAt, expected.data(), expected.size()) != 0)
            return false;
        mAt += expected.size();
        return true;
    }

    // Text up to the next '<' with no markup or reference in it; null when
    // there is none, as the property list gives an empty string element.
    bool text(QString *out)
    {
        std::string_view bytes;
        if (!plainRun(&bytes))
            return false;
        *out = decoded(bytes);
        return true;
    }

    // The same, shared with an earlier text of the same bytes: every group
    // id recurs in the buddies of its group.
    bool repeatedText(QString *out)
    {
        std::string_view bytes;
        if (!plainRun(&bytes))
            return false;
        if (bytes.empty() || bytes.size() > sizeof(Repeated::bytes)) {
            *out = decoded(bytes);
            return true;
        }
        quint32 hash = 2166136261u; // FNV-1a
        for (const char c : bytes)
            hash = (hash ^ uchar(c)) * 16777619u;
        Repeated &slot = mRepeated[(hash ^ (hash >> 16)) % mRepeated.size()];
        if (slot.size != bytes.size() || std::memcmp(slot.bytes, bytes.data(), bytes.size()) != 0) {
            slot.text = decoded(bytes);
            std::memcpy(slot.bytes, bytes.data(), bytes.size());
            slot.size = bytes.size();
        }
        *out = slot.text;
        return true;
    }

    bool boolean(bool *out)
    {
        if (skip("<true/>\n"sv))
            *out = true;
        else if (skip("<false/>\n"sv))
            *out = false;
        else
            return false;
        return true;
    }

    // Decimal digits only, few enough for any to fit.
    bool number(qint64 *out)
    {
        qint64 value = 0;
        int digits = 0;
        for (; mAt < mEnd && *mAt >= '0' && *mAt <= '9'; ++mAt, ++digits) {
            if (digits == 18)
                return false;
            value = value * 10 + (*mAt - '0');
        }
        *out = value;
        return digits > 0;
    }

private:
    // Text as every property-list reader takes it as it stands, up to the
    // next '<'.
    bool plainRun(std::string_view *bytes)
    {
        const char *start = mAt;
        mAt += PropertyListFastReader::plainTextLength(mAt, mEnd);
        if (mAt >= mEnd || *mAt != '<')
            return false;
        *bytes = std::string_view(start, size_t(mAt - start));
        return true;
    }

    // ASCII (most texts) widened in place; other UTF-8 decoded.
    static QString decoded(std::string_view bytes)
    {
        if (bytes.empty())
            return QString();
        QString text(qsizetype(bytes.size()), Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (const char c : bytes) {
            if (uchar(c) >= 0x80)
                return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
            *out++ = char16_t(uchar(c));
        }
        return text;
    }

    struct Repeated {
        char bytes[16];
        size_t size = 0; // none held while text is null
        QString text;
    };
    std::array<Repeated, 256> mRepeated;
    const char *mAt;
    const char *const mEnd;
};

} // namespace

std::optional<PLGroupCacheFastReader::Contents> PLGroupCacheFastReader::read(const QByteArray &document)
{
    Cursor in(document);
    qint64 number = 0;
    bool willDownload = false;
    if (!in.skip(kHead) || !in.skip(kCacheNumber) || !in.number(&number) || !in.skip(kCacheType) ||
        !in.boolean(&willDownload) || !in.skip(kCacheEnd))
        return std::nullopt;
    Contents contents;
    contents.cacheEntry = QVariantMap{{QStringLiteral("groupCacheNo"), QVariant(qlonglong(number))},
                                      {QStringLiteral("type"), QVariant(QStringLiteral("Cache"))},
                                      {QStringLiteral("willDownloadGroup"), QVariant(willDownload)}};
    contents.lines.reserve(size_t(document.size() / 180)); // a buddy's line takes ~180 bytes
    while (!in.skip(kTail)) {
        PLGroupInfo line;
        if (!in.skip(kLineStart))
            return std::nullopt;
        if (in.skip(kBuddyCMN)) {
            line.type = PLGroupInfo::Buddy;
            if (!in.text(&line.buddyCMN) || !in.skip(kThenGroupID) || !in.repeatedText(&line.groupID) ||
                !in.skip(kThenIsLast) || !in.boolean(&line.isLast) || !in.skip(kBuddyEnd))
                return std::nullopt;
        } else if (in.skip(kGroupID)) {
            line.type = PLGroupInfo::Group;
            if (!in.repeatedText(&line.groupID) || !in.skip(kThenGroupName) || !in.text(&line.groupName) ||
                !in.skip(kThenIsLast) || !in.boolean(&line.isLast) || !in.skip(kGroupEnd))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        contents.lines.push_back(std::move(line));
    }
    if (!in.atEnd())
        return std::nullopt;
    return contents;
}

} // namespace parley
