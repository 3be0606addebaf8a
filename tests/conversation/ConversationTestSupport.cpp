#include "ConversationTestSupport.h"

#include "AnimiconSite.h"
#include "LocalService.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"
#include "WebServer.h"

#include <QProcess>
#include <QRegularExpression>

namespace parley::test {

QString foreignMarkup(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral(R"(<(/?)([A-Za-z]+)((?:\s+[A-Za-z]+=(?:"[^"<>]*"|'[^'<>]*'|[^\s"'<>]+))*)\s*>)"));
    static const QRegularExpression attribute(QStringLiteral(R"(([A-Za-z]+)=("[^"]*"|'[^']*'|[^\s>]+))"));
    static const QStringList elements{QStringLiteral("a"),    QStringLiteral("br"), QStringLiteral("FONT"),
                                      QStringLiteral("IMG"),  QStringLiteral("TABLE"), QStringLiteral("TR"),
                                      QStringLiteral("TD")};
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), at);
        const QStringView text = QStringView(html).mid(at, open < 0 ? -1 : open - at);
        if (text.contains(QLatin1Char('>')))
            return QStringLiteral("a \">\" in text near %1").arg(at);
        if (open < 0)
            break;
        const QRegularExpressionMatch match = tag.match(html, open, QRegularExpression::NormalMatch,
                                                        QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return QStringLiteral("not a tag at %1: %2").arg(open).arg(html.mid(open, 40));
        const QString name = match.captured(2);
        if (!elements.contains(name))
            return QStringLiteral("element %1").arg(name);
        auto it = attribute.globalMatch(match.captured(3));
        while (it.hasNext()) {
            const QRegularExpressionMatch a = it.next();
            const QString key = a.captured(1);
            QString value = a.captured(2);
            if (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')))
                value = value.mid(1, value.size() - 2);
            bool ok = false;
            if (name == QLatin1String("a") && key == QLatin1String("href"))
                ok = value.contains(QRegularExpression(QStringLiteral(R"(\A(https?://|bridge://|mailto:|www\.|~/|/))")));
            else if (name == QLatin1String("a") && key == QLatin1String("target"))
                ok = value == QLatin1String("_blank");
            else if (name == QLatin1String("IMG") && key == QLatin1String("SRC"))
                ok = value.startsWith(QLatin1String("file://"));
            else if (name == QLatin1String("FONT"))
                ok = key == QLatin1String("FACE") || key == QLatin1String("COLOR") || key == QLatin1String("SIZE");
            else if (name == QLatin1String("TABLE"))
                ok = key == QLatin1String("BORDER");
            else if (name == QLatin1String("TR"))
                ok = key == QLatin1String("HEIGHT");
            else if (name == QLatin1String("TD"))
                ok = key == QLatin1String("WIDTH");
            if (!ok)
                return QStringLiteral("attribute %1=%2 of %3").arg(key, value, name);
        }
        at = match.capturedEnd(0);
    }
    return {};
}

QByteArray iconvToCodePage949(const QString &text)
{
    QProcess iconv;
    iconv.start(QStringLiteral(PARLEY_ICONV_TOOL), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                                    QStringLiteral("CP949")});
    if (!iconv.waitForStarted())
        qFatal("iconv does not start");
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    if (!iconv.waitForFinished() || iconv.exitCode() != 0)
        qFatal("iconv failed: %s", iconv.readAllStandardError().constData());
    return iconv.readAllStandardOutput();
}

AnimiconService::AnimiconService(const QString &animiconFolder)
    : service(std::make_unique<localservice::LocalService>())
{
    localservice::ServiceOptions options;
    options.animiconFolder = animiconFolder;
    QString error;
    if (!service->start(options, &error))
        qFatal("local service: %s", qPrintable(error));
    PLEndpoints endpoints = PLEndpoints::current();
    endpoints.webAnimicon = webUrl();
    PLEndpoints::setCurrent(endpoints);
    PLConfManager &conf = PLConfManager::sharedManager();
    conf.setMConfDict(QVariantMap{{QStringLiteral("animicon_file_url"), baseUrl()}});
}

AnimiconService::~AnimiconService()
{
    PLConfManager::sharedManager().setMConfDict(std::nullopt);
    PLEndpoints endpoints = PLEndpoints::current();
    endpoints.webAnimicon.clear();
    PLEndpoints::setCurrent(endpoints);
}

QString AnimiconService::baseUrl() const { return service->web()->animiconBaseURL(); }

QString AnimiconService::webUrl() const { return service->web()->baseURL(); }

int AnimiconService::requests(const QString &path) const { return service->web()->animicons().requestCount(path); }

int AnimiconService::totalRequests() const { return service->web()->animicons().totalRequests(); }

} // namespace parley::test
