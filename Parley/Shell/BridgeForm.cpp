#include "BridgeForm.h"

#include "KoreanCodePage.h"
#include "Utils/ParleyStringAdditions.h"

#include <iterator>

namespace parley {

namespace {

struct ServiceCode {
    const char *serviceType;
    const char *code;
    int hFlag;
};

const ServiceCode kServiceCodes[] = {
    {"ORRP", "B003", 1}, {"ORME", "B004", 1}, {"ORRG", "B012", 1}, {"ORHP", "B013", 1}, {"ORFR", "B014", 1},
    {"ORPC", "B015", 1}, {"TNRP", "G032", 1}, {"TNSC", "G032", 1}, {"TNAP", "G032", 1}, {"7QRP", "D013", 2},
    {"7QSC", "D013", 2}, {"7QAP", "D013", 2}, {"Q7RP", "D014", 2}, {"Q7ME", "D015", 2}, {"Q7RG", "D016", 2},
    {"Q7HP", "D017", 2}, {"NCHP", "D046", 2}, {"Q7FR", "D018", 2}, {"Q7PC", "D019", 2}, {"Q7GF", "D020", 2},
    {"Q7GR", "D021", 2}, {"Q7ML", "D022", 2},
};

const ServiceCode *serviceCode(const QString &serviceType)
{
    for (const ServiceCode &entry : kServiceCodes)
        if (serviceType == QLatin1String(entry.serviceType))
            return &entry;
    return nullptr;
}

bool isUnescaped(uchar byte)
{
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9'))
        return true;
    switch (byte) {
    case '-': case '_': case '.': case '~': case '!': case '*': case '\'': case '(': case ')':
        return true;
    default:
        return false;
    }
}

} // namespace

QVariantMap BridgeForm::bridgeCodeDict()
{
    QVariantMap table;
    for (const ServiceCode &entry : kServiceCodes)
        table.insert(QLatin1String(entry.serviceType), QLatin1String(entry.code));
    return table;
}

QString BridgeForm::bridgeCodeForSVC(const QString &serviceType)
{
    const ServiceCode *entry = serviceCode(serviceType);
    return entry ? QString(QLatin1String(entry->code)) : QString();
}

int BridgeForm::hFlagForSVC(const QString &serviceType)
{
    const ServiceCode *entry = serviceCode(serviceType);
    return entry ? entry->hFlag : -1;
}

QString BridgeForm::escapeHTML(const QString &text) { return escapedHTML(text); }

QString BridgeForm::html(const QString &action, const QString &ticket, const BridgeCall &call)
{
    const auto value = [](const QString &text) { return escapeHTML(text); };
    // Built by concatenation: the values may hold "%1" and the like.
    QString page = QLatin1String("<html><head><meta http-equiv='Content-Type' content='text/html; charset=EUC-KR'>"
                                 "</head></head><body onLoad='javascript:BridgeForm.submit();'>"
                                 "<form name = 'BridgeForm' method = 'post' action = '")
        + value(action) + QLatin1String("' target='_parent'><input type = hidden name = 't' value = '") + value(ticket)
        + QLatin1String("'><input type = hidden name = 'code' value = '") + value(call.code) + QLatin1String("'>");
    if (!call.param.isNull())
        page += QLatin1String("<input type = hidden name = 'param' value = '") + value(call.param) + QLatin1String("'>");
    if (!call.returnURL.isNull())
        page += QLatin1String("<input type = hidden name = 'r_url' value = '") + value(call.returnURL)
            + QLatin1String("'>");
    if (call.hFlag != -1)
        page += QLatin1String("<input type = hidden name = 'h_flag' value = '") + QString::number(call.hFlag)
            + QLatin1String("'>");
    page += QLatin1String("</form></body></html>");
    return page;
}

QByteArray BridgeForm::document(const QString &action, const QString &ticket, const BridgeCall &call)
{
    return KoreanCodePage::encode(html(action, ticket, call), [](char32_t codePoint) {
        return QByteArray("&#") + QByteArray::number(uint(codePoint)) + ';';
    });
}

QString BridgeForm::urlencode(const QString &text)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = KoreanCodePage::encode(text);
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        if (isUnescaped(byte)) {
            out += QLatin1Char(char(byte));
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 0xF]);
        }
    }
    return out;
}

} // namespace parley
