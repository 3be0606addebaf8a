#pragma once

// What the conversation tests share: a fixed emoticon catalogue, a check that
// transcript HTML holds only the markup the transcript makes, and the local
// service with its animicon site.

#include "EmoticonLookup.h"
#include "Conversation/EmoticonPaletteSource.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace localservice {
class LocalService;
}

namespace parley::test {

// Tokens with picture paths (a null path: a token without a picture).
class FixedEmoticons final : public EmoticonLookup, public EmoticonPaletteSource
{
public:
    QStringList tokens;
    QHash<QString, QString> paths;
    QStringList categories;
    QHash<QString, QStringList> lists;

    QStringList emoticonTokens() const override { return tokens; }
    QString imagePathForToken(const QString &token) const override { return paths.value(token); }
    QStringList emoticonLocalCategories() const override { return categories; }
    QStringList emoticonListForCategory(const QString &category) const override { return lists.value(category); }
    QString emoticonFileNameForEmoticon(const QString &token) const override { return paths.value(token); }
};

// Every tag of the HTML is one the transcript makes, with its own attributes
// and values (links to web, mail and bridge addresses, pictures from files),
// and no "<" or ">" stands in text. Empty when so, else what is wrong.
QString foreignMarkup(const QString &html);

// Text in code page 949 as the iconv tool writes it.
QByteArray iconvToCodePage949(const QString &text);

// The local service on kernel-chosen ports, its endpoints in force for the
// client and its configuration's animicon base URL known to the client.
struct AnimiconService
{
    explicit AnimiconService(const QString &animiconFolder = QString());
    ~AnimiconService();
    QString baseUrl() const;
    QString webUrl() const;
    int requests(const QString &path) const;
    int totalRequests() const;

    std::unique_ptr<localservice::LocalService> service;
};

} // namespace parley::test
