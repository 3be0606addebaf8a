#include "AnimiconPlayWebView.h"

#include <QColor>
#include <QWebEnginePage>

AnimiconPlayWebView::AnimiconPlayWebView(QWidget *parent)
    : mView(new QWebEngineView(parent))
{
    mView->setAttribute(Qt::WA_TranslucentBackground);
    mView->setAttribute(Qt::WA_ShowWithoutActivating);
    mView->setContextMenuPolicy(Qt::NoContextMenu);
    mView->setFocusPolicy(Qt::NoFocus);
    if (!parent)
        mView->setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus);
    mView->page()->setBackgroundColor(Qt::transparent);
    mLoadConnection = QObject::connect(mView, &QWebEngineView::loadFinished, mView, [this](bool ok) {
        if (loadFinished)
            loadFinished(ok);
    });
}

AnimiconPlayWebView::~AnimiconPlayWebView()
{
    if (mView) {
        QObject::disconnect(mLoadConnection);
        delete mView.data();
    }
}

QWidget *AnimiconPlayWebView::widget() { return mView; }

void AnimiconPlayWebView::navigateUrl(const QUrl &url)
{
    if (mView)
        mView->load(url);
}

void AnimiconPlayWebView::clear()
{
    if (!mView)
        return;
    mView->stop();
    mView->setHtml(QString());
}

extern "C" __attribute__((visibility("default"))) AnimiconPlayView *parleyCreateAnimiconPlayView(QWidget *parent)
{
    return new AnimiconPlayWebView(parent);
}
