#pragma once

// A few emoticon tokens with pictures of their own for the transcript benchmark.

#include "Conversation/KCWebViewDataSource.h"

#include <QHash>
#include <QImage>
#include <QTemporaryDir>

namespace parley::bench {

class BenchEmoticons : public KCWebViewDataSource
{
public:
    BenchEmoticons()
    {
        for (const char *name : {"smile", "heart", "wink"}) {
            QImage image(19, 19, QImage::Format_ARGB32);
            image.fill(QColor(250, 200, 60));
            const QString path = mFolder.filePath(QLatin1String(name) + QStringLiteral(".png"));
            image.save(path);
            const QString token = QStringLiteral("/%1/").arg(QLatin1String(name));
            mTokens << token;
            mPaths.insert(token, path);
        }
    }
    std::optional<QStringList> emoticonWebViewArray(KCWebView *) override { return mTokens; }
    QString emoticonWebViewEmoticon(KCWebView *, const QString &token) override { return mPaths.value(token); }

private:
    QTemporaryDir mFolder;
    QStringList mTokens;
    QHash<QString, QString> mPaths;
};

} // namespace parley::bench
