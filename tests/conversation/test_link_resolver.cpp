// What a click on a transcript link asks the owner to open.
#include "TestSupport.h"
#include "TranscriptLinkResolver.h"

#include <gtest/gtest.h>

TEST(TranscriptLinkResolver, PassesWebAndMailLinksAndRefusesOtherSchemes)
{
    const QString bridge = QStringLiteral("http://portal.test/bridge.html");
    const QString ticket = QStringLiteral("TICKET1");
    struct Case
    {
        const char *href;
        const char *opened; // null: refused
    } const cases[] = {
        {"http://example.com/a?b=c", "http://example.com/a?b=c"},
        {"https://example.com/", "https://example.com/"},
        {"HTTPS://Example.com/", "HTTPS://Example.com/"},
        {"mailto:kim@example.com", "mailto:kim@example.com"},
        {"www.example.com", "http://www.example.com"},
        {"www.example.com:8080/x", "http://www.example.com:8080/x"},
        {"example.com/http://x", "http://example.com/http://x"},
        {"bridge://G125?http://mail.com/", "http://portal.test/bridge.html?t=TICKET1&code=G125&r_url=http://mail.com/"},
        {"bridge://G125?", "http://portal.test/bridge.html?t=TICKET1&code=G125&r_url="},
        {"bridge://G1&x=1?r", nullptr},
        {"bridge://G125", nullptr},
        {"javascript:alert(1)", nullptr},
        {"JavaScript:alert(1)", nullptr},
        {"file:///etc/passwd", nullptr},
        {"data:text/html,x", nullptr},
        {"ftp://files.test/", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.href);
        const QString opened = TranscriptLinkResolver::resolve(QLatin1String(c.href), bridge, ticket);
        if (c.opened)
            EXPECT_EQ(opened, QLatin1String(c.opened));
        else
            EXPECT_TRUE(opened.isNull()) << opened.toStdString();
    }
}

TEST(TranscriptLinkResolver, RefusesServiceLinksWithoutABridgePage)
{
    EXPECT_TRUE(TranscriptLinkResolver::resolve(QStringLiteral("bridge://G125?r_url=x"), QString(), QStringLiteral("T"))
                    .isNull());
}
