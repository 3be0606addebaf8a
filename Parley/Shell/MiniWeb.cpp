#include "MiniWeb.h"

#include "KCAlertPresenter.h"
#include "Log.h"
#include "UpdateDecisions.h"
#include "UrlOpener.h"
#include "Utils/KCUtilities.h"
#include "WebPaneLoader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace parley {

namespace {

// A text as a script string literal.
QString scriptString(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

MiniWeb::MiniWeb(shell::UrlOpener *opener, QWidget *parent)
    : QWidget(parent, Qt::Window), mOpener(opener ? opener : &shell::UrlOpener::desktop())
{
    setObjectName(QStringLiteral("MiniWeb"));
    resize(640, 520);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mWebView = shell::WebPaneLoader::create(this);
    if (!mWebView)
        return;
    layout->addWidget(mWebView->widget());
    shell::WebPaneCallbacks callbacks;
    callbacks.titleChanged = [this](const QString &title) { setWindowTitle(title); };
    callbacks.newWindowRequested = [this](const QUrl &url) { requestWebUrlOpen(url); };
    mWebView->setCallbacks(callbacks);
}

void MiniWeb::openURL(const QString &url)
{
    const QUrl parsed(url);
    if (mWebView && parsed.isValid())
        mWebView->load(parsed);
}

void MiniWeb::jumpToAnchor(const QString &anchorName)
{
    plLog(QStringLiteral("anchor :[%1]").arg(anchorName));
    if (mWebView)
        mWebView->runJavaScript(QLatin1String("var anchor = document.anchors[") + scriptString(anchorName)
                                + QLatin1String("];if (anchor) window.scrollTo(anchor.offsetLeft, anchor.offsetTop);"));
}

void MiniWeb::requestWebUrlOpen(const QUrl &url)
{
    if (UpdateDecisions::isOpenableInBrowser(url))
        mOpener->openUrl(url);
    else
        plLog(QStringLiteral("a page asked to open %1 in a new window; refused").arg(url.toString()));
}

SimpleBrowserController::SimpleBrowserController(shell::UrlOpener *opener, QWidget *parent) : MiniWeb(opener, parent)
{
    setObjectName(QStringLiteral("SimpleBrowser"));
    if (!mWebView)
        return;
    shell::WebPaneCallbacks callbacks;
    callbacks.titleChanged = [this](const QString &title) { setWindowTitle(title); };
    callbacks.newWindowRequested = [this](const QUrl &url) { requestWebUrlOpen(url); };
    callbacks.javaScriptAlert = [this](const QString &message) {
        KCAlertRequest request;
        request.key = QStringLiteral("Information");
        request.title = KCLocalizedString(QStringLiteral("Information"));
        request.message = message;
        request.buttons = {KCLocalizedString(QStringLiteral("OK"))};
        request.parent = this;
        KCAlerts().show(request);
    };
    mWebView->setCallbacks(callbacks);
}

SimpleBrowserController *SimpleBrowserController::loadURL(const QString &url, QObject *)
{
    auto *window = new SimpleBrowserController;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->goURL(url);
    return window;
}

QString SimpleBrowserController::scriptCall(const QString &name, const QVariantList &arguments)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*(\\.[A-Za-z_$][A-Za-z0-9_$]*)*$"));
    if (!identifier.match(name).hasMatch())
        return {};
    const QByteArray json = QJsonDocument(QJsonArray::fromVariantList(arguments)).toJson(QJsonDocument::Compact);
    return name + QLatin1String("(...") + QString::fromUtf8(json) + QLatin1String(")");
}

bool SimpleBrowserController::callWebScriptMethod(const QString &name, const QVariantList &arguments)
{
    const QString call = scriptCall(name, arguments);
    if (call.isNull() || !mWebView)
        return false;
    mWebView->runJavaScript(call);
    return true;
}

} // namespace parley
