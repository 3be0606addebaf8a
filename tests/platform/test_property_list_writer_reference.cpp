// The property-list writer checked byte for byte against the writer it
// replaced, which built a QString and converted it at the end; that writer is
// kept here as the reference. Inputs are generated, hostile ones included.

#include "PropertyList.h"
#include "PropertyListWriter.h"

#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <type_traits>

using namespace parley;

namespace {

namespace reference {
    class ReferenceWriter {
    public:
        bool run(const QVariant &value)
        {
            mOut = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n");
            if (!writeValue(value, 0))
                return false;
            mOut += QLatin1String("</plist>\n");
            return true;
        }

        QByteArray data() const { return mOut.toUtf8(); }
        QString error() const { return mError; }

    private:
        bool fail(const QString &what)
        {
            mError = what;
            return false;
        }

        // Appended piece by piece into the one output string: temporaries per
        // line made writing a long list slow.
        void indent(int level)
        {
            for (int i = 0; i < level; ++i)
                mOut += QLatin1Char('\t');
        }

        void simple(int level, const char *tag, QStringView escapedText)
        {
            const QLatin1StringView name(tag);
            indent(level);
            mOut += QLatin1Char('<');
            mOut += name;
            mOut += QLatin1Char('>');
            mOut += escapedText;
            mOut += QLatin1String("</");
            mOut += name;
            mOut += QLatin1String(">\n");
        }

        // Escapes markup; a carriage return is written as a character reference,
        // because a reader turns a literal one into a line feed.
        bool escape(const QString &text, QString *out)
        {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text.at(i);
                const char16_t u = c.unicode();
                if (c.isHighSurrogate()) {
                    if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                        return fail(QStringLiteral("a string holds a lone surrogate"));
                    *out += c;
                    *out += text.at(++i);
                    continue;
                }
                if (c.isLowSurrogate())
                    return fail(QStringLiteral("a string holds a lone surrogate"));
                if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
                    return fail(QStringLiteral("a string holds the character U+%1, which XML cannot carry")
                                    .arg(uint(u), 4, 16, QLatin1Char('0')));
                switch (u) {
                case '&': *out += QLatin1String("&amp;"); break;
                case '<': *out += QLatin1String("&lt;"); break;
                case '>': *out += QLatin1String("&gt;"); break;
                case '\r': *out += QLatin1String("&#13;"); break;
                default: *out += c; break;
                }
            }
            return true;
        }

        bool writeString(int level, const char *tag, const QString &text)
        {
            // Escaped straight into the output; on failure the output is dropped.
            const QLatin1StringView name(tag);
            indent(level);
            mOut += QLatin1Char('<');
            mOut += name;
            mOut += QLatin1Char('>');
            if (!escape(text, &mOut))
                return false;
            mOut += QLatin1String("</");
            mOut += name;
            mOut += QLatin1String(">\n");
            return true;
        }

        template <typename Map>
        bool writeDict(const Map &map, int level)
        {
            if (map.isEmpty()) {
                indent(level);
                mOut += QLatin1String("<dict/>\n");
                return true;
            }
            indent(level);
            mOut += QLatin1String("<dict>\n");
            if constexpr (std::is_same_v<Map, QVariantMap>) {
                // A map is already in key order.
                for (auto it = map.cbegin(); it != map.cend(); ++it) {
                    if (!writeString(level + 1, "key", it.key()) || !writeValue(it.value(), level + 1))
                        return false;
                }
            } else {
                QStringList keys = map.keys();
                keys.sort(); // a hash has no order of its own; files stay stable
                for (const QString &key : keys) {
                    if (!writeString(level + 1, "key", key) || !writeValue(map.value(key), level + 1))
                        return false;
                }
            }
            indent(level);
            mOut += QLatin1String("</dict>\n");
            return true;
        }

        bool writeArray(const QVariantList &list, int level)
        {
            if (list.isEmpty()) {
                indent(level);
                mOut += QLatin1String("<array/>\n");
                return true;
            }
            indent(level);
            mOut += QLatin1String("<array>\n");
            for (const QVariant &item : list) {
                if (!writeValue(item, level + 1))
                    return false;
            }
            indent(level);
            mOut += QLatin1String("</array>\n");
            return true;
        }

        bool writeValue(const QVariant &value, int level)
        {
            if (level >= PropertyList::kMaxDepth && (value.typeId() == QMetaType::QVariantMap ||
                                                     value.typeId() == QMetaType::QVariantHash ||
                                                     value.typeId() == QMetaType::QVariantList ||
                                                     value.typeId() == QMetaType::QStringList))
                return fail(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
            switch (value.typeId()) {
            case QMetaType::Bool:
                indent(level);
                mOut += value.toBool() ? QLatin1String("<true/>\n") : QLatin1String("<false/>\n");
                return true;
            case QMetaType::Int:
            case QMetaType::Short:
            case QMetaType::SChar:
            case QMetaType::Char:
            case QMetaType::Long:
            case QMetaType::LongLong:
                simple(level, "integer", QString::number(value.toLongLong()));
                return true;
            case QMetaType::UInt:
            case QMetaType::UShort:
            case QMetaType::UChar:
            case QMetaType::ULong:
            case QMetaType::ULongLong: {
                const quint64 number = value.toULongLong();
                if (number > quint64(std::numeric_limits<qint64>::max()))
                    return fail(QStringLiteral("integer %1 is out of range").arg(number));
                simple(level, "integer", QString::number(number));
                return true;
            }
            case QMetaType::Double:
            case QMetaType::Float: {
                const double number = value.toDouble();
                QString text;
                if (std::isnan(number))
                    text = QStringLiteral("nan");
                else if (std::isinf(number))
                    text = number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
                else
                    text = QString::number(number, 'g', QLocale::FloatingPointShortest);
                simple(level, "real", text);
                return true;
            }
            case QMetaType::QString:
                return writeString(level, "string", value.toString());
            case QMetaType::QByteArray:
                simple(level, "data", QString::fromLatin1(value.toByteArray().toBase64()));
                return true;
            case QMetaType::QDateTime: {
                const QDateTime utc = value.toDateTime().toUTC();
                if (!utc.isValid() || utc.date().year() < 0 || utc.date().year() > 9999)
                    return fail(QStringLiteral("a date is invalid or out of range"));
                simple(level, "date", utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));
                return true;
            }
            case QMetaType::QVariantMap:
                return writeDict(value.toMap(), level);
            case QMetaType::QVariantHash:
                return writeDict(value.toHash(), level);
            case QMetaType::QVariantList:
            case QMetaType::QStringList:
                return writeArray(value.toList(), level);
            default:
                return fail(value.isValid()
                                ? QStringLiteral("a value of type %1 has no property-list form").arg(value.typeName())
                                : QStringLiteral("a null value has no property-list form"));
            }
        }

        QString mOut;
        QString mError;
    };


PropertyList::WriteResult write(const QVariant &value)
{
    ReferenceWriter writer;
    if (!writer.run(value))
        return {QByteArray(), writer.error()};
    return {writer.data(), QString()};
}

} // namespace reference

void expectSameAsReference(const QVariant &value, const char *what)
{
    const PropertyList::WriteResult expected = reference::write(value);
    const PropertyList::WriteResult actual = PropertyList::write(value);
    EXPECT_EQ(actual.ok(), expected.ok()) << what;
    EXPECT_EQ(actual.error.toStdString(), expected.error.toStdString()) << what;
    EXPECT_EQ(actual.data.toStdString(), expected.data.toStdString()) << what;
}

// Characters that exercise every branch of the escaping: plain ASCII, markup,
// line breaks, refused control characters, both surrogate halves (paired and
// lone), the non-characters XML refuses, and multi-byte UTF-8.
const char16_t kAlphabet[] = {u'a', u'Z', u'0', u' ', u'"', u'\'', u'&', u'<', u'>', u';', u'#', u'\t', u'\n',
                              u'\r', 0x01, 0x1F, 0x7F, 0x80, 0xE9, 0x7FF, 0x800, 0xD55C, 0xD83D, 0xDE00,
                              0xFFFD, 0xFFFE, 0xFFFF};

class Generator {
public:
    explicit Generator(quint32 seed) : mRandom(seed) {}

    // Mostly clean text, as stored files hold; now and then a hostile one.
    QString text()
    {
        const int length = int(mRandom.bounded(24));
        QString s;
        const bool hostile = mRandom.bounded(4) == 0;
        for (int i = 0; i < length; ++i) {
            if (hostile) {
                s.append(QChar(kAlphabet[mRandom.bounded(int(std::size(kAlphabet)))]));
            } else if (mRandom.bounded(10) == 0) {
                static const QStringList pieces{QStringLiteral("한"), QStringLiteral("😀"), QStringLiteral("é"),
                                                QStringLiteral("&"),  QStringLiteral("<"),  QStringLiteral(">"),
                                                QStringLiteral("\r")};
                s.append(pieces.at(mRandom.bounded(int(pieces.size()))));
            } else {
                s.append(QChar(char16_t(0x20 + mRandom.bounded(0x5F))));
            }
        }
        if (hostile && length == 0)
            return QString(); // a null string, next to the empty ones above
        return s;
    }

    QVariant value(int depth)
    {
        switch (mRandom.bounded(depth > 4 ? 12 : 16)) {
        case 0: return QVariant(text());
        case 1: return QVariant(qlonglong(mRandom.generate64()));
        case 2: return QVariant(int(mRandom.generate()));
        case 3: return QVariant(quint64(mRandom.generate64())); // half of them out of range
        case 4: return QVariant(uint(mRandom.generate()));
        case 5: return QVariant(mRandom.bounded(2) == 0);
        case 6: return QVariant(std::ldexp(mRandom.generateDouble() - 0.5, int(mRandom.bounded(200)) - 100));
        case 7: return QVariant(float(mRandom.generateDouble()));
        case 8: {
            QByteArray bytes(qsizetype(mRandom.bounded(40)), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(mRandom.bounded(256));
            return QVariant(bytes);
        }
        case 9:
            return QVariant(QDateTime::fromSecsSinceEpoch(qint64(mRandom.bounded(4000000000u)), Qt::UTC));
        case 10: return QVariant(QStringList{text(), text()});
        case 11: return mRandom.bounded(50) == 0 ? QVariant() : QVariant(text());
        case 12:
        case 13: {
            QVariantMap map;
            const int n = int(mRandom.bounded(6));
            for (int i = 0; i < n; ++i)
                map.insert(text(), value(depth + 1));
            return QVariant(map);
        }
        case 14: {
            QVariantHash hash;
            const int n = int(mRandom.bounded(4));
            for (int i = 0; i < n; ++i)
                hash.insert(text(), value(depth + 1));
            return QVariant(hash);
        }
        default: {
            QVariantList list;
            const int n = int(mRandom.bounded(6));
            for (int i = 0; i < n; ++i)
                list.append(value(depth + 1));
            return QVariant(list);
        }
        }
    }

private:
    QRandomGenerator mRandom;
};

TEST(PropertyListWriterReference, GeneratedValuesGiveTheSameBytesAndErrors)
{
    int refused = 0;
    for (quint32 seed = 1; seed <= 3000; ++seed) {
        Generator generator(seed);
        const QVariant value = generator.value(0);
        refused += PropertyList::write(value).ok() ? 0 : 1;
        expectSameAsReference(value, ("seed " + std::to_string(seed)).c_str());
        if (HasFailure())
            return;
    }
    // Both outcomes are covered, not only one.
    EXPECT_GT(refused, 100);
    EXPECT_LT(refused, 2900);
}

TEST(PropertyListWriterReference, EveryCharacterAloneAndInText)
{
    // Every UTF-16 code unit, alone and between plain text; then every pair
    // of the hostile alphabet.
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const QChar c{char16_t(u)};
        expectSameAsReference(QVariant(QString(c)), "alone");
        expectSameAsReference(QVariant(QStringLiteral("ab") + c + QStringLiteral("cd")), "in text");
        if (HasFailure())
            return;
    }
    for (char16_t a : kAlphabet) {
        for (char16_t b : kAlphabet) {
            const QString s = QString(QChar(a)) + QChar(b);
            expectSameAsReference(QVariant(QVariantMap{{s, s}}), "pair");
        }
    }
}

TEST(PropertyListWriterReference, EdgeValues)
{
    const QVariantList values{
        QVariant(QString()),
        QVariant(QString("")),
        QVariant(QStringList{}),
        QVariant(QStringList{QString(), QString("")}),
        QVariant(QVariantMap{}),
        QVariant(QVariantHash{}),
        QVariant(QVariantList{}),
        QVariant(std::numeric_limits<qlonglong>::min()),
        QVariant(std::numeric_limits<qlonglong>::max()),
        QVariant(quint64(std::numeric_limits<qlonglong>::max())),
        QVariant(quint64(std::numeric_limits<qlonglong>::max()) + 1),
        QVariant(short(-7)),
        QVariant(ushort(7)),
        QVariant::fromValue<signed char>(-3),
        QVariant::fromValue<uchar>(250),
        QVariant::fromValue<long>(-123456789L),
        QVariant::fromValue<ulong>(123456789UL),
        QVariant(std::numeric_limits<double>::quiet_NaN()),
        QVariant(std::numeric_limits<double>::infinity()),
        QVariant(-std::numeric_limits<double>::infinity()),
        QVariant(-0.0),
        QVariant(1e300),
        QVariant(5e-324),
        QVariant(QDateTime()),
        QVariant(QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)),
        QVariant(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC)),
        QVariant(QSize(1, 2)),
        QVariant(),
    };
    for (const QVariant &value : values)
        expectSameAsReference(value, value.typeName() ? value.typeName() : "invalid");
    // Nesting up to and past the limit, in every container kind.
    for (int depth = PropertyList::kMaxDepth - 2; depth <= PropertyList::kMaxDepth + 1; ++depth) {
        QVariant list = QVariant(QStringList{QStringLiteral("leaf")});
        QVariant map = QVariant(QVariantHash{});
        for (int i = 0; i < depth; ++i) {
            list = QVariant(QVariantList{list});
            map = QVariant(QVariantMap{{QStringLiteral("k"), map}});
        }
        expectSameAsReference(list, "deep list");
        expectSameAsReference(map, "deep map");
    }
}

// The shape PLGLSTManager writes at every sign-in, at full size.
TEST(PropertyListWriterReference, LargeGroupCache)
{
    QVariantList entries{QVariantMap{{QStringLiteral("groupCacheNo"), 3},
                                     {QStringLiteral("type"), QStringLiteral("Cache")},
                                     {QStringLiteral("willDownloadGroup"), true}}};
    for (int i = 0; i < 5100; ++i) {
        entries.append(QVariantMap{{QStringLiteral("groupId"), QString::number(i % 100 + 1)},
                                   {QStringLiteral("groupName"), QStringLiteral("그룹 %1 <&>").arg(i)},
                                   {QStringLiteral("isLast"), i == 5099},
                                   {QStringLiteral("type"), QStringLiteral("Group")}});
    }
    expectSameAsReference(QVariant(entries), "group cache");
}

} // namespace

namespace {

// Writes a value through the piece-by-piece interface: containers, keys,
// strings, booleans and integers piece by piece, anything else as a value;
// `afterPiece` runs after every piece.
void writePieces(PropertyListWriter &writer, const QVariant &value, const std::function<void()> &afterPiece = {})
{
    const auto piece = [&] {
        if (afterPiece)
            afterPiece();
    };
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        writer.beginDict();
        piece();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            writer.key(it.key());
            piece();
            writePieces(writer, it.value(), afterPiece);
        }
        writer.endDict();
        break;
    }
    case QMetaType::QVariantList:
        writer.beginArray();
        piece();
        for (const QVariant &item : value.toList())
            writePieces(writer, item, afterPiece);
        writer.endArray();
        break;
    case QMetaType::QString: writer.string(value.toString()); break;
    case QMetaType::Bool: writer.boolean(value.toBool()); break;
    case QMetaType::Int:
    case QMetaType::LongLong: writer.integer(value.toLongLong()); break;
    default: writer.value(value); break;
    }
    piece();
}

// The same, handing the document on whenever `atLeast` bytes are buffered:
// what was handed on and what finish() gives make the document.
PropertyList::WriteResult writeInPiecesHandedOn(const QVariant &value, qsizetype atLeast)
{
    PropertyListWriter writer;
    QByteArray handedOn;
    const auto sink = [&handedOn](QByteArrayView bytes) {
        handedOn.append(bytes);
        return true;
    };
    writePieces(writer, value, [&] { writer.drainTo(sink, atLeast); });
    PropertyList::WriteResult rest = writer.finish();
    if (rest.ok())
        rest.data.prepend(handedOn);
    return rest;
}

PropertyList::WriteResult writeInPieces(const QVariant &value)
{
    PropertyListWriter writer;
    writePieces(writer, value);
    return writer.finish();
}

void expectPiecesSameAsWhole(const QVariant &value, const std::string &what)
{
    const PropertyList::WriteResult expected = PropertyList::write(value);
    const PropertyList::WriteResult actual = writeInPieces(value);
    EXPECT_EQ(actual.error.toStdString(), expected.error.toStdString()) << what;
    EXPECT_EQ(actual.data.toStdString(), expected.data.toStdString()) << what;
    // Handed on after every piece, or now and then: an empty container
    // open at a hand-over must still close as one empty element.
    for (const qsizetype atLeast : {qsizetype(0), qsizetype(1), qsizetype(45), qsizetype(4096)}) {
        const PropertyList::WriteResult handedOn = writeInPiecesHandedOn(value, atLeast);
        EXPECT_EQ(handedOn.error.toStdString(), expected.error.toStdString()) << what << " handed on " << atLeast;
        EXPECT_EQ(handedOn.data.toStdString(), expected.data.toStdString()) << what << " handed on " << atLeast;
    }
}

} // namespace

TEST(PropertyListPieceWriter, GeneratedValuesGiveTheSameBytesAndErrorsAsAWholeValue)
{
    int refused = 0;
    for (quint32 seed = 1; seed <= 3000; ++seed) {
        Generator generator(seed);
        // An array of values at the top, as the group cache is.
        QVariantList list;
        const int n = int(seed % 4);
        for (int i = 0; i < n; ++i)
            list.append(generator.value(1));
        const QVariant value = seed % 5 == 0 ? generator.value(0) : QVariant(list);
        refused += PropertyList::write(value).ok() ? 0 : 1;
        expectPiecesSameAsWhole(value, "seed " + std::to_string(seed));
        if (HasFailure())
            return;
    }
    EXPECT_GT(refused, 100);
    EXPECT_LT(refused, 2900);
}

TEST(PropertyListPieceWriter, EdgeValuesAndDepth)
{
    QVariant deep = QVariantList{};
    for (int i = 0; i < PropertyList::kMaxDepth + 2; ++i) {
        expectPiecesSameAsWhole(deep, "depth " + std::to_string(i));
        deep = QVariantList{deep};
    }
    const QVariant cases[] = {
        QVariantMap{},
        QVariantList{},
        QVariantMap{{QString(), QString()}, {QStringLiteral(""), QVariantList{}}},
        QVariantList{QVariantMap{}, QVariantList{QVariantMap{}}, QString()},
        QVariantList{QVariant()},
        QVariantMap{{QStringLiteral("a\x01"), true}},
        QVariantMap{{QStringLiteral("a"), QStringLiteral("\r&<>")}, {QStringLiteral("b"), QVariant()}},
        QVariant(std::numeric_limits<qint64>::min()),
    };
    for (const QVariant &value : cases)
        expectPiecesSameAsWhole(value, value.typeName());
}

TEST(PropertyListPieceWriter, MisuseIsAnError)
{
    const struct {
        const char *name;
        std::function<void(PropertyListWriter &)> steps;
    } cases[] = {
        {"nothing", [](PropertyListWriter &) {}},
        {"two values", [](PropertyListWriter &w) { w.string(u"a"), w.string(u"b"); }},
        {"open array", [](PropertyListWriter &w) { w.beginArray(); }},
        {"key outside a dict", [](PropertyListWriter &w) { w.beginArray(), w.key(u"a"), w.endArray(); }},
        {"value without key", [](PropertyListWriter &w) { w.beginDict(), w.string(u"a"), w.endDict(); }},
        {"key without value", [](PropertyListWriter &w) { w.beginDict(), w.key(u"a"), w.endDict(); }},
        {"wrong close", [](PropertyListWriter &w) { w.beginDict(), w.endArray(); }},
    };
    for (const auto &c : cases) {
        PropertyListWriter writer;
        c.steps(writer);
        const PropertyList::WriteResult result = writer.finish();
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_TRUE(result.data.isEmpty()) << c.name;
    }
}

namespace {

// A key or string given as a constant element against the same text given
// as a view, at every depth (past the short indentation too) and in and out
// of place; the bytes and the errors are the same.
template <typename Constant, typename Write, typename WriteView>
void expectConstantSameAsView(const Constant &constant, const char *text, Write writeConstant,
                              WriteView writeView)
{
    const QString view = QString::fromLatin1(text);
    for (int depth = 0; depth < PropertyList::kMaxDepth; ++depth) {
        for (const bool inPlace : {true, false}) {
            PropertyListWriter byConstant, byView;
            for (PropertyListWriter *writer : {&byConstant, &byView}) {
                for (int i = 0; i < depth; ++i)
                    writer->beginArray();
                writer->beginDict();
                if (!inPlace)
                    writer->key(u"before");
            }
            writeConstant(byConstant, constant);
            writeView(byView, view);
            for (PropertyListWriter *writer : {&byConstant, &byView}) {
                if (inPlace == std::is_same_v<Constant, PropertyListWriter::ConstantKey>)
                    writer->boolean(true); // completes the pair
                writer->endDict();
                for (int i = 0; i < depth; ++i)
                    writer->endArray();
            }
            const PropertyList::WriteResult expected = byView.finish();
            const PropertyList::WriteResult actual = byConstant.finish();
            const std::string what = std::string(text) + " depth " + std::to_string(depth);
            EXPECT_EQ(actual.error.toStdString(), expected.error.toStdString()) << what;
            EXPECT_EQ(actual.data.toStdString(), expected.data.toStdString()) << what;
            EXPECT_EQ(actual.ok(), inPlace) << what;
        }
    }
}

} // namespace

TEST(PropertyListPieceWriter, ConstantElementsGiveTheBytesOfTheirText)
{
    const auto key = [](PropertyListWriter &w, const auto &k) { w.key(k); };
    const auto keyView = [](PropertyListWriter &w, const QString &k) { w.key(k); };
    // Inside a dict a value goes after a key: the string cases write one first.
    const auto pairString = [](PropertyListWriter &w, const auto &s) { w.key(u"k"), w.string(s); };
    const auto pairStringView = [](PropertyListWriter &w, const QString &s) { w.key(u"k"), w.string(s); };

    using Key = PropertyListWriter::ConstantKey;
    using Text = PropertyListWriter::ConstantString;
    static constexpr Key keys[] = {Key("type"), Key(""), Key("groupCacheNo"), Key("willDownloadGroup"),
                                   Key("\"quoted\" 'and' ;#/=?"), Key("a key of thirty-five characters....")};
    const char *keyTexts[] = {"type", "", "groupCacheNo", "willDownloadGroup", "\"quoted\" 'and' ;#/=?",
                              "a key of thirty-five characters...."};
    for (size_t i = 0; i < std::size(keys); ++i)
        expectConstantSameAsView(keys[i], keyTexts[i], key, keyView);

    static constexpr Text texts[] = {Text("Buddy"), Text(""), Text("~ !\"'$%()*+,-./:;=?@[\\]^_`{|}"),
                                     Text("a string of thirty characters.")};
    const char *textTexts[] = {"Buddy", "", "~ !\"'$%()*+,-./:;=?@[\\]^_`{|}", "a string of thirty characters."};
    for (size_t i = 0; i < std::size(texts); ++i) {
        expectConstantSameAsView(texts[i], textTexts[i], pairString, pairStringView);
        if (HasFailure())
            return;
    }
}

TEST(PropertyListPieceWriter, ConstantStringAtTheTopAndTwice)
{
    static constexpr PropertyListWriter::ConstantString text("Group");
    PropertyListWriter once;
    once.string(text);
    EXPECT_EQ(once.finish().data, PropertyList::write(QStringLiteral("Group")).data);

    PropertyListWriter twice, twiceByView;
    twice.string(text), twice.string(text);
    twiceByView.string(u"Group"), twiceByView.string(u"Group");
    const PropertyList::WriteResult refused = twice.finish();
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.error, twiceByView.finish().error);
}

// Room taken beforehand, too little, none or far too much, changes no byte;
// a document far larger than the first allocation grows across many steps.
TEST(PropertyListPieceWriter, ReservedRoomChangesNothing)
{
    Generator generator(77);
    QVariantList list;
    for (int i = 0; i < 3000; ++i)
        list.append(generator.value(1));
    const PropertyList::WriteResult expected = writeInPieces(QVariant(list));
    for (const qsizetype room : {qsizetype(-1), qsizetype(0), qsizetype(1), qsizetype(100), qsizetype(1 << 22)}) {
        PropertyListWriter writer;
        writer.reserve(room);
        writePieces(writer, QVariant(list));
        const PropertyList::WriteResult actual = writer.finish();
        EXPECT_EQ(actual.error.toStdString(), expected.error.toStdString()) << room;
        EXPECT_EQ(actual.data.toStdString(), expected.data.toStdString()) << room;
    }
}

TEST(PropertyListPieceWriter, ASinkThatRefusesFailsTheDocument)
{
    PropertyListWriter writer;
    int calls = 0;
    const auto refusing = [&calls](QByteArrayView) {
        ++calls;
        return false;
    };
    writer.beginArray();
    writer.string(QStringLiteral("a"));
    EXPECT_FALSE(writer.drainTo(refusing));
    EXPECT_EQ(calls, 1);
    // Nothing more is handed on, and the document reports the failure.
    EXPECT_FALSE(writer.drainTo(refusing));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(writer.string(QStringLiteral("b")));
    writer.endArray();
    const PropertyList::WriteResult result = writer.finish();
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.data.isEmpty());
}

TEST(PropertyListPieceWriter, NothingIsHandedOnBelowTheThreshold)
{
    PropertyListWriter writer;
    int calls = 0;
    const auto counting = [&calls](QByteArrayView) {
        ++calls;
        return true;
    };
    writer.beginArray();
    EXPECT_TRUE(writer.drainTo(counting, 1 << 20));
    EXPECT_EQ(calls, 0);
    writer.endArray();
    EXPECT_EQ(writer.finish().data, PropertyList::write(QVariantList{}).data);
}
