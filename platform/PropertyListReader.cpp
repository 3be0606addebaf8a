#include "PropertyListReader.h"

#include "PropertyListValueText.h"

#include <QXmlStreamReader>

#include <optional>

namespace parley {

namespace {

class Reader {
public:
    explicit Reader(const QByteArray &data) : mXml(data) {}

    PropertyList::ReadResult run()
    {
        PropertyList::ReadResult result;
        std::optional<QVariant> value = readDocument();
        if (!value || !mError.isEmpty()) {
            result.error = mError.isEmpty() ? QStringLiteral("unreadable property list") : mError;
            return result;
        }
        result.value = std::move(*value);
        return result;
    }

private:
    std::nullopt_t fail(const QString &what)
    {
        if (mError.isEmpty())
            mError = QStringLiteral("%1 (line %2, column %3)").arg(what).arg(mXml.lineNumber()).arg(mXml.columnNumber());
        return std::nullopt;
    }

    std::nullopt_t failXml()
    {
        return fail(mXml.hasError() ? QStringLiteral("malformed XML: %1").arg(mXml.errorString())
                                    : QStringLiteral("unexpected end of document"));
    }

    // Moves to the next start or end tag, skipping comments, processing
    // instructions and whitespace. Text anywhere else is an error.
    bool nextTag()
    {
        while (!mXml.atEnd()) {
            switch (mXml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::Characters:
                if (!mXml.isWhitespace()) {
                    fail(QStringLiteral("unexpected text"));
                    return false;
                }
                break;
            case QXmlStreamReader::DTD:
                // Internal entities could expand to anything; plists need none.
                if (!mXml.entityDeclarations().isEmpty()) {
                    fail(QStringLiteral("entity declarations are not allowed"));
                    return false;
                }
                break;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("unresolved entity reference"));
                return false;
            case QXmlStreamReader::Invalid:
                failXml();
                return false;
            default:
                break;
            }
        }
        failXml();
        return false;
    }

    std::optional<QVariant> readDocument()
    {
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isStartElement() || mXml.name() != QLatin1String("plist"))
            return fail(QStringLiteral("the root element is not plist"));
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isStartElement())
            return fail(QStringLiteral("plist holds no value"));
        std::optional<QVariant> value = readValue(1);
        if (!value)
            return std::nullopt;
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isEndElement())
            return fail(QStringLiteral("plist holds more than one value"));
        // Only comments and whitespace may follow; the reader itself refuses a
        // second root element.
        while (!mXml.atEnd()) {
            const auto token = mXml.readNext();
            if (token == QXmlStreamReader::Invalid)
                return failXml();
            if (token == QXmlStreamReader::Characters && !mXml.isWhitespace())
                return fail(QStringLiteral("unexpected text"));
        }
        if (mXml.hasError())
            return failXml();
        return value;
    }

    // Collects the text of a simple element up to its end tag.
    std::optional<QString> readText()
    {
        QString text;
        while (!mXml.atEnd()) {
            switch (mXml.readNext()) {
            case QXmlStreamReader::Characters:
                text += mXml.text();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::StartElement:
                return fail(QStringLiteral("unexpected element <%1> inside a simple value").arg(mXml.name()));
            case QXmlStreamReader::EntityReference:
                return fail(QStringLiteral("unresolved entity reference"));
            case QXmlStreamReader::Invalid:
                return failXml();
            default:
                break;
            }
        }
        return failXml();
    }

    bool expectEmpty()
    {
        std::optional<QString> text = readText();
        if (!text)
            return false;
        if (!text->trimmed().isEmpty()) {
            fail(QStringLiteral("a boolean holds text"));
            return false;
        }
        return true;
    }

    // The current token is the value's start tag.
    std::optional<QVariant> readValue(int depth)
    {
        const QString tag = mXml.name().toString();
        if (tag == QLatin1String("dict"))
            return readDict(depth);
        if (tag == QLatin1String("array"))
            return readArray(depth);
        if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
            if (!expectEmpty())
                return std::nullopt;
            return QVariant(tag == QLatin1String("true"));
        }
        std::optional<QString> text = readText();
        if (!text)
            return std::nullopt;
        if (tag == QLatin1String("string"))
            return QVariant(*text);
        if (tag == QLatin1String("integer"))
            return parseInteger(text->trimmed());
        if (tag == QLatin1String("real"))
            return parseReal(text->trimmed());
        if (tag == QLatin1String("date"))
            return parseDate(text->trimmed());
        if (tag == QLatin1String("data"))
            return parseData(*text);
        if (tag == QLatin1String("key"))
            return fail(QStringLiteral("key outside a dict"));
        return fail(QStringLiteral("unknown element <%1>").arg(tag));
    }

    bool enter(int depth)
    {
        if (depth > PropertyList::kMaxDepth) {
            fail(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
            return false;
        }
        return true;
    }

    std::optional<QVariant> readDict(int depth)
    {
        if (!enter(depth))
            return std::nullopt;
        QVariantMap map;
        for (;;) {
            if (!nextTag())
                return std::nullopt;
            if (mXml.isEndElement())
                return QVariant(map);
            if (mXml.name() != QLatin1String("key"))
                return fail(QStringLiteral("dict entry without a key"));
            std::optional<QString> key = readText();
            if (!key)
                return std::nullopt;
            if (!nextTag())
                return std::nullopt;
            if (!mXml.isStartElement())
                return fail(QStringLiteral("key \"%1\" has no value").arg(*key));
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            if (map.contains(*key))
                return fail(QStringLiteral("duplicate key \"%1\"").arg(*key));
            map.insert(*key, std::move(*value));
        }
    }

    std::optional<QVariant> readArray(int depth)
    {
        if (!enter(depth))
            return std::nullopt;
        QVariantList list;
        for (;;) {
            if (!nextTag())
                return std::nullopt;
            if (mXml.isEndElement())
                return QVariant(list);
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            list.append(std::move(*value));
        }
    }

    std::optional<QVariant> parseInteger(const QString &text)
    {
        std::optional<QVariant> value = PropertyListValueText::integer(text);
        if (!value)
            return fail(QStringLiteral("bad integer \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseReal(const QString &text)
    {
        std::optional<QVariant> value = PropertyListValueText::real(text);
        if (!value)
            return fail(QStringLiteral("bad real \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseDate(const QString &text)
    {
        std::optional<QVariant> value = PropertyListValueText::date(text);
        if (!value)
            return fail(QStringLiteral("bad date \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseData(const QString &text)
    {
        std::optional<QVariant> value = PropertyListValueText::data(text);
        if (!value)
            return fail(QStringLiteral("bad base64 data"));
        return value;
    }

    QXmlStreamReader mXml;
    QString mError;
};

} // namespace

PropertyList::ReadResult PropertyListReader::read(const QByteArray &xml) { return Reader(xml).run(); }

} // namespace parley
