#pragma once

// The bridge form: the page that posts the user's web ticket, a bridge code
// naming the portal's page and its optional fields to the portal's bridge
// address, so that the browser lands on that page signed in. Widget-free:
// the codes of the notices' service types, the page's text and bytes, and
// the escaping of parameters for the portal's addresses.

#include <QByteArray>
#include <QString>
#include <QVariantMap>

namespace parley {

// One request of a portal page. A null parameter or return address leaves
// that field out; an h_flag of -1 leaves it out.
struct BridgeCall {
    QString code;
    QString param;
    QString returnURL;
    int hFlag = -1;

    bool operator==(const BridgeCall &other) const
    {
        return code == other.code && param == other.param && param.isNull() == other.param.isNull()
            && returnURL == other.returnURL && returnURL.isNull() == other.returnURL.isNull()
            && hFlag == other.hFlag;
    }
};

class BridgeForm
{
public:
    BridgeForm() = delete;

    // Service type of a notice -> bridge code (22 entries, built anew each call).
    static QVariantMap bridgeCodeDict();
    // The code of a service type; null for a type without one.
    static QString bridgeCodeForSVC(const QString &serviceType);
    // 1 or 2 for the types of the table, -1 for any other.
    static int hFlagForSVC(const QString &serviceType);

    // The page's text: every value is HTML-escaped (quotes, "<", ">", "&"),
    // so that the browser posts each value as it stands.
    static QString html(const QString &action, const QString &ticket, const BridgeCall &call);
    // The page in code page 949, as it is written to the bridge file; a
    // character the code page lacks is written as a numeric character
    // reference, which the browser reads back as that character.
    static QByteArray document(const QString &action, const QString &ticket, const BridgeCall &call);

    // Percent escapes of the text's bytes in code page 949: everything but
    // ASCII letters, digits and "-_.~!*'()" (so each of ";/?:@&=+$,#" too);
    // a character the code page lacks is escaped as "?" would be.
    static QString urlencode(const QString &text);
    // "&", "<", ">", '"' and "'" as character references.
    static QString escapeHTML(const QString &text);
};

} // namespace parley
