#include "RelatedMemoPane.h"

#include "MemoServices.h"
#include "Model/RelatedMemoHtml.h"

#include "Conversation/KCWebView.h"
#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "Utils/KCUtilities.h"

#include <QSplitter>
#include <QTextBrowser>

namespace parley::RelatedMemoPane {

namespace {

QString imageUrl(const char *name)
{
    return QStringLiteral("qrc") + ImageRegistry::resourcePath(QLatin1String(name));
}

} // namespace

QTextBrowser *newPane(QWidget *window)
{
    auto *pane = new QTextBrowser(window);
    pane->setOpenLinks(false);
    pane->setAccessibleName(KCLocalizedString(QLatin1String("RefMemo")));
    return pane;
}

QSplitter *newSplit(QWidget *window, QWidget *memoView, QTextBrowser *pane)
{
    auto *split = new QSplitter(Qt::Vertical, window);
    split->addWidget(memoView);
    split->addWidget(pane);
    split->setSizes({200, 0});
    return split;
}

void fill(QTextBrowser *pane, const QList<RelatedMemoEntry> &entries, const MemoNames &names)
{
    const RelatedMemoHtml html(names, {imageUrl("receive(18x18)"), imageUrl("send(18x18)"), imageUrl("1x1_line")},
                               &KCWebView::convertMessage, GetDefaultFontOfSize(11).family());
    // The text browser takes image widths in pixels only: the separator's
    // share of the pane is worked out here.
    QString text = html.html(entries);
    text.replace(QStringLiteral("width=\"80%\""),
                 QStringLiteral("width=\"%1\"").arg(std::max(20, pane->viewport()->width() * 4 / 5)));
    pane->setHtml(text);
}

void follow(const RelatedMemoThread::Step &step, const RelatedMemoThread &thread, MemoServices &services,
            QTextBrowser *pane, const MemoNames &names)
{
    if (step.request)
        services.requestRelMemo(step.request->cookie, step.request->lastSequence, step.request->count,
                                step.request->isSend);
    if (step.showNow)
        fill(pane, thread.entries(), names);
}

void show(QWidget *window, QSplitter *split)
{
    const QList<int> sizes = split->sizes();
    const int upper = sizes.value(0);
    window->resize(window->width(), window->height() + upper + split->handleWidth());
    split->widget(1)->show();
    split->setSizes({upper, upper});
}

void hide(QWidget *window, QSplitter *split)
{
    const QList<int> sizes = split->sizes();
    const int lower = sizes.value(1);
    split->setSizes({sizes.value(0), 0});
    window->resize(window->width(), std::max(window->minimumHeight(), window->height() - lower - split->handleWidth()));
}

} // namespace parley::RelatedMemoPane
