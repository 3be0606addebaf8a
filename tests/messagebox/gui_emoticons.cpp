// Emoticons in the detail panes: the catalogue of one folder (the pair of
// files at the top of the support folder's "Emoticon"), tokens shown as
// images, a token without its image left as text, no catalogue no change.
#include "EmoticonManager.h"
#include "PGHBodyView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using namespace pigeonhole;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The image names of the document's images, in order.
QStringList imagesOf(const QTextDocument &document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

class BoxEmoticonsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("Emoticon");
        ASSERT_TRUE(QDir().mkpath(folder + "/images"));
        writeFile(folder + "/emoticon.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>faces</key><dict>
<key>/smile/</key><string>smile.png</string>
<key>/gone/</key><string>gone.png</string>
</dict></dict></plist>
)");
        writeFile(folder + "/emoticonSort.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><array><dict><key>category</key><string>faces</string>
<key>emoticons</key><array><string>/gone/</string><string>/smile/</string></array></dict></array></plist>
)");
        QImage smile(16, 16, QImage::Format_ARGB32);
        smile.fill(Qt::yellow);
        ASSERT_TRUE(smile.save(folder + "/images/smile.png"));
    }

    QTemporaryDir dir;
    QString folder;
};

TEST_F(BoxEmoticonsTest, TokensBecomeImagesAndAMissingImageStaysText)
{
    const std::unique_ptr<EmoticonManager> catalogue = EmoticonManager::oneFolder(folder);
    EXPECT_EQ(catalogue->emoticonArray(), (QStringList{"/gone/", "/smile/"}));
    PGHBodyView view;
    view.setCatalogue(catalogue.get());
    view.showText("a /smile/ b /gone/ c /smile/ <b>x</b> www.example.test");
    const QString image = folder + "/images/smile.png";
    EXPECT_EQ(imagesOf(*view.document()), (QStringList{image, image})); // the same token twice: two images
    const QString shown = view.document()->toPlainText();
    EXPECT_TRUE(shown.contains("/gone/"));
    EXPECT_FALSE(shown.contains("/smile/"));
    EXPECT_TRUE(shown.contains("<b>x</b>")); // text, never markup
    EXPECT_EQ(view.document()->toHtml().count("href"), 0); // no links in the box
    EXPECT_EQ(view.shownText(), "a /smile/ b /gone/ c /smile/ <b>x</b> www.example.test");
}

TEST_F(BoxEmoticonsTest, WithoutCatalogueFilesEveryTextIsShownUnchanged)
{
    const std::unique_ptr<EmoticonManager> empty = EmoticonManager::oneFolder(dir.filePath("nothing here"));
    EXPECT_TRUE(empty->emoticonArray().isEmpty());
    PGHBodyView view;
    view.setCatalogue(empty.get());
    view.showText("a /smile/ b");
    EXPECT_TRUE(imagesOf(*view.document()).isEmpty());
    EXPECT_EQ(view.document()->toPlainText(), "a /smile/ b");
}

} // namespace
