#pragma once

// The emoticon catalogue and the codec of texts with emoticon tokens.
//
// Emoticons travel and are stored as plain text tokens, a name between two
// slashes ("/smile/"), spelled exactly as the catalogue lists them. The
// catalogue is the folder "Emoticon" of our resources:
//   <lang>/emoticon.plist, <lang>/emoticonSort.plist   one pair per language
//   images/                                            every language's images
// (EmoticonCatalogueFile.h gives the two formats; the pair at the top of the
// folder, the union of all languages, is what the message box reads.)
//
// A text has three forms: the plain string with tokens (sent, stored,
// logged); its pieces, in which every token stands alone (what the label view
// draws); and a rich-text fragment in which every token is an image whose
// format names the file (and carries the token in kTokenProperty) and every
// web address is a link (what the editable fields show).
//
// The tables are read once, when the catalogue is made, and never change.
// Used on the main thread; sharedManager() may be called from any thread.

#include "EmoticonCatalogueFile.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextFormat>

#include <memory>
#include <optional>

class QTextDocument;
class QTextDocumentFragment;

class EmoticonManager
{
public:
    // The language folders, in the order every all-language list follows.
    static const QStringList &languageCodes();

    // The catalogue of our resources (KCResourcePath("Emoticon")) in the
    // interface language (KCCurrentLanguage()), made on first use.
    static EmoticonManager &sharedManager();

    // A catalogue of the given "Emoticon" folder, with `language` as the
    // current language. The shared one is such a catalogue; tests make others.
    EmoticonManager(const QString &emoticonPath, const QString &language);
    // A catalogue of one folder with emoticon.plist and emoticonSort.plist at
    // its top and the images in its "images" (the message box's copy in the
    // support folder): that pair is its only language and the current one.
    static std::unique_ptr<EmoticonManager> oneFolder(const QString &folder);
    EmoticonManager(const EmoticonManager &) = delete;
    EmoticonManager &operator=(const EmoticonManager &) = delete;

    // Every token of every category of every language: language by language
    // in languageCodes() order, categories and tokens in file order (a token
    // listed by several languages is listed once per language).
    QStringList emoticonArray() const { return mEmoticonArray; }
    // The category names of all languages, in the same order.
    QStringList emoticonCategories() const;
    // The category names of the current language, in file order.
    QStringList emoticonLocalCategories() const;
    // The tokens of the current language's first category of that name.
    std::optional<QStringList> emoticonListForCategory(const QString &category) const;
    // The full path of the token's image (the first language, in order,
    // whose table names one); a null string when none does.
    QString emoticonFileNameForEmoticon(const QString &token) const;
    // The current language's token for an image file name; the file name
    // itself when the table has none (an image pasted from elsewhere).
    QString emoticonNameForFileName(const QString &fileName) const;

    // Whether the piece is one of emoticonArray().
    bool isEmoticon(const QString &piece) const { return mTokens.contains(piece); }
    // The size of the token's image when it has one that can be read; an
    // invalid size otherwise (the token is then shown as its text).
    QSize emoticonImageSize(const QString &token) const;

    QString emoticonPath() const { return mEmoticonPath; }
    QString emoticonImagePath() const { return mEmoticonImagePath; }
    QString emoticonDictFile() const { return mEmoticonDictFile; }
    QString emoticonSortFile() const { return mEmoticonSortFile; }
    QString language() const { return mLanguage; }

    // --- the codec; every function reads `catalogue`, the shared one when null.

    // The property of an emoticon image's format that holds its token.
    static constexpr int kTokenProperty = QTextFormat::UserProperty + 1;

    // Cuts the text into pieces whose concatenation is the text; a piece that
    // is a token stands alone. A slash opens a candidate that the next slash
    // closes; "//" joins the first slash to the text before it and lets the
    // second open the next candidate (x//smile/ gives x/, /smile/).
    static QStringList emoticonParsingWithString(const QString &text, const EmoticonManager *catalogue = nullptr);

    // The plain text of a document: every emoticon image becomes its token
    // (the one it carries, else the token of its file name, else that file
    // name), everything else stays as it is; paragraphs join with "\n".
    // With `otherPicture`, a picture whose token is no emoticon becomes that
    // text instead.
    static QString emoticonStringForAttributeRuns(const QTextDocument &document,
                                                  const EmoticonManager *catalogue = nullptr,
                                                  const QString *otherPicture = nullptr);

    // The text as a fragment in the given format, its web addresses as links
    // and every known token whose image can be read as that image; nothing
    // for a null text.
    static std::optional<QTextDocumentFragment>
    attributedEmoticonStringWithString(const QString &text, const QTextCharFormat &attributes,
                                       const EmoticonManager *catalogue = nullptr);

    // The text in the given format with every known token whose image can be
    // read as that image, and no links (what the message box shows).
    static QTextDocumentFragment emoticonFragmentWithString(const QString &text, const QTextCharFormat &attributes,
                                                            const EmoticonManager *catalogue = nullptr);

    // The text in the given format with its web addresses as links: every
    // occurrence of a word's part that holds "http://", "https://" or "www."
    // is linked to that part ("http://" put in front of a part with no scheme).
    static QTextDocumentFragment replaceLinkUrlString(const QString &text, const QTextCharFormat &attributes,
                                                      const EmoticonManager *catalogue = nullptr);

    // The parts of a word (its tokens set apart, the text between them kept
    // whole) that hold "http://", "https://" or "www.".
    static QStringList urlStringArrayFromEmoticonString(const QString &word,
                                                        const EmoticonManager *catalogue = nullptr);

private:
    struct OneFolder {};
    EmoticonManager(const QString &folder, OneFolder);
    void load();
    void index();

    QString mLanguage;
    QString mEmoticonPath;
    QString mEmoticonDictFile;
    QString mEmoticonSortFile;
    QString mEmoticonImagePath;

    EmoticonImageTable mDictEmoticon;         // the current language's image table
    QList<EmoticonCategory> mArrayEmoticon;   // the current language's categories
    QList<QList<EmoticonCategory>> mArrayAllEmoticon; // every language present, in order
    QList<EmoticonImageTable> mDictAllEmoticon;       // every language present, in order

    QStringList mEmoticonArray;
    QSet<QString> mTokens;
    QHash<QString, QString> mFileForToken;    // first hit in language order

    mutable QMutex mImageMutex;
    mutable QHash<QString, QSize> mImageSizes; // by path; invalid when unreadable
};
