#include "AnimiconSite.h"

#include <QDir>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QRegularExpression>
#include <QUrlQuery>

#include <iconv.h>

#include <cmath>

namespace localservice {

namespace {

struct DemoCategory {
    const char *id;
    const char *title;
    bool shown;
    bool advertisement;
    QStringList names;
};

QList<DemoCategory> demoCategories()
{
    return {
        {"k", "기본", true, false,
         {QStringLiteral("웃음"), QStringLiteral("윙크"), QStringLiteral("하트"), QStringLiteral("눈물"),
          QStringLiteral("화남"), QStringLiteral("놀람"), QStringLiteral("졸림"), QStringLiteral("박수"),
          QStringLiteral("인사"), QStringLiteral("축하"), QStringLiteral("감사"), QStringLiteral("사랑"),
          QStringLiteral("힘내"), QStringLiteral("미안"), QStringLiteral("안녕"), QStringLiteral("최고"),
          QStringLiteral("좋아"), QStringLiteral("싫어"), QStringLiteral("배꼽"), QStringLiteral("행복"),
          QStringLiteral("슬픔"), QStringLiteral("부끄"), QStringLiteral("메롱"), QStringLiteral("헉"),
          QStringLiteral("야호"), QStringLiteral("우와"), QStringLiteral("쉿"), QStringLiteral("방긋"),
          QStringLiteral("꿀꿀"), QStringLiteral("뽀뽀")}},
        {"p", "광고", true, true, {QStringLiteral("광고")}},
        {"h", "숨김", false, false, {QStringLiteral("숨김")}},
        {"a", "동물", true, false,
         {QStringLiteral("고양이"), QStringLiteral("강아지"), QStringLiteral("토끼"), QStringLiteral("곰"),
          QStringLiteral("펭귄"), QStringLiteral("여우"), QStringLiteral("돼지"), QStringLiteral("병아리")}},
    };
}

QString itemID(int number) { return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0')); }

// A path component a client may ask for: letters, digits, "_", "-" and ".",
// never starting with ".".
bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral(R"(\A[A-Za-z0-9_\-][A-Za-z0-9_.\-]*\z)"));
    return plain.match(name).hasMatch();
}

void appendLE(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

QHttpServerResponse notFound() { return QHttpServerResponse(QHttpServerResponder::StatusCode::NotFound); }

} // namespace

AnimiconSite::AnimiconSite(const QString &folder) : mFolder(folder)
{
    if (mFolder.isEmpty())
        mDemo = demoCatalogue();
}

QByteArray AnimiconSite::toCodePage949(const QString &text)
{
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, Qt::Uninitialized);
    iconv_t converter = iconv_open("CP949", "UTF-8");
    if (converter == iconv_t(-1))
        return {};
    char *inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        // A character without a code: "?" in its place, then the next one.
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        *outPtr++ = '?';
        --outLeft;
        do {
            ++inPtr;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*inPtr) & 0xC0) == 0x80);
    }
    iconv_close(converter);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

QByteArray AnimiconSite::thumbnailBmp(int index)
{
    constexpr int width = 32;
    constexpr int height = 20;
    constexpr int rowBytes = (width * 3 + 3) / 4 * 4;
    // A face in one of a few colours on white.
    static const quint32 faces[] = {0xF5C542, 0xF28C8C, 0x8CC8F2, 0x9BE08C, 0xC79BF2, 0xF2B66B};
    const quint32 face = faces[index % 6];
    QByteArray pixels;
    for (int row = 0; row < height; ++row) { // bottom row first
        const double y = height - 1 - row + 0.5;
        for (int x = 0; x < width; ++x) {
            const double dx = x + 0.5 - 16.0;
            const double dy = y - 10.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            quint32 colour = 0xFFFFFF;
            if (r <= 9.0)
                colour = face;
            if (r > 8.2 && r <= 9.0)
                colour = 0x5A4A2A;
            const bool eye = std::abs(dy + 3.0) < 1.3 && (std::abs(dx - 3.5) < 1.3 || std::abs(dx + 3.5) < 1.3);
            const bool mouth = dy > 1.5 && dy < 4.2 && std::abs(dx) < 4.5 && std::abs(std::sqrt(dx * dx + (dy - 0.5) * (dy - 0.5)) - 3.8) < 0.9;
            if (eye || mouth)
                colour = 0x3A2A1A;
            pixels.append(char(colour & 0xFF));
            pixels.append(char((colour >> 8) & 0xFF));
            pixels.append(char((colour >> 16) & 0xFF));
        }
        pixels.append(QByteArray(rowBytes - width * 3, '\0'));
    }
    QByteArray out("BM");
    appendLE(out, quint32(14 + 40 + pixels.size()), 4);
    appendLE(out, 0, 4);
    appendLE(out, 14 + 40, 4);
    appendLE(out, 40, 4);
    appendLE(out, width, 4);
    appendLE(out, height, 4);
    appendLE(out, 1, 2);
    appendLE(out, 24, 2);
    appendLE(out, 0, 4);
    appendLE(out, quint32(pixels.size()), 4);
    appendLE(out, 2835, 4);
    appendLE(out, 2835, 4);
    appendLE(out, 0, 4);
    appendLE(out, 0, 4);
    return out + pixels;
}

QMap<QString, QByteArray> AnimiconSite::demoCatalogue()
{
    QMap<QString, QByteArray> files;
    const QList<DemoCategory> categories = demoCategories();
    QString index = QStringLiteral("[Category info]\nversion=3\ncount=%1\nticker_version=1\n\n")
                        .arg(categories.size());
    int tab = 0;
    int thumbnail = 0;
    for (const DemoCategory &category : categories) {
        const QString id = QLatin1String(category.id);
        index += QStringLiteral("[AnicoTab%1]\nid=%2\nversion=1\ntitle=%3\nimage=tab_%2\n"
                                "show_flag=%4\nad_flag=%5\n\n")
                     .arg(++tab)
                     .arg(id, QString::fromUtf8(category.title), QLatin1String(category.shown ? "Y" : "N"),
                          QLatin1String(category.advertisement ? "Y" : "N"));
        QString list = QStringLiteral("[list_info]\ncount=%1\nid=%2\n").arg(category.names.size()).arg(id);
        for (int n = 1; n <= category.names.size(); ++n) {
            list += QStringLiteral("%1=%2%3|%4\n").arg(n).arg(id, itemID(n), category.names[n - 1]);
            files.insert(QStringLiteral("thumb/%1/%1_%2.bmp").arg(id, itemID(n)), thumbnailBmp(thumbnail++));
        }
        files.insert(QStringLiteral("ini/anicolistex_%1.ini").arg(id), toCodePage949(list));
    }
    files.insert(QStringLiteral("ini/category_mc.ini"), toCodePage949(index));
    return files;
}

QByteArray AnimiconSite::catalogueFile(const QString &relativePath) const
{
    const QStringList parts = relativePath.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (!isPlainName(part))
            return {};
    if (mFolder.isEmpty())
        return mDemo.value(relativePath);
    QFile file(QDir(mFolder).filePath(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray AnimiconSite::playPicture(const QString &id) const
{
    if (!isPlainName(id) || id.size() != 4)
        return {};
    const int hue = (id.at(0).unicode() * 47 + id.mid(1).toInt() * 29) % 360;
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"160\" height=\"160\" viewBox=\"0 0 160 160\">"
               "<g><animateTransform attributeName=\"transform\" type=\"translate\" values=\"0 0;0 -28;0 0\" "
               "dur=\"0.8s\" repeatCount=\"indefinite\"/>"
               "<circle cx=\"80\" cy=\"100\" r=\"46\" fill=\"hsl(%1,80%,65%)\" stroke=\"#5a4a2a\" stroke-width=\"4\"/>"
               "<circle cx=\"64\" cy=\"90\" r=\"6\" fill=\"#3a2a1a\"/><circle cx=\"96\" cy=\"90\" r=\"6\" fill=\"#3a2a1a\"/>"
               "<path d=\"M58 112 Q80 134 102 112\" fill=\"none\" stroke=\"#3a2a1a\" stroke-width=\"5\" stroke-linecap=\"round\"/>"
               "</g>"
               "<g fill=\"hsl(%2,90%,60%)\"><animateTransform attributeName=\"transform\" type=\"rotate\" "
               "from=\"0 80 100\" to=\"360 80 100\" dur=\"2s\" repeatCount=\"indefinite\"/>"
               "<circle cx=\"80\" cy=\"30\" r=\"7\"/><circle cx=\"150\" cy=\"100\" r=\"7\"/>"
               "<circle cx=\"10\" cy=\"100\" r=\"7\"/></g></svg>")
        .arg(hue)
        .arg((hue + 180) % 360)
        .toUtf8();
}

QByteArray AnimiconSite::playPage(const QString &id) const
{
    if (id.size() != 4 || !isPlainName(id))
        return {};
    const QString list = QStringLiteral("thumb/%1/%1_%2.bmp").arg(id.left(1), id.mid(1));
    if (catalogueFile(list).isNull())
        return {};
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                          "<style>html,body{margin:0;padding:0;background:transparent;overflow:hidden}</style>"
                          "</head><body><img src=\"/animicon/play/%1.svg\" width=\"160\" height=\"160\" alt=\"\">"
                          "</body></html>")
        .arg(id)
        .toUtf8();
}

void AnimiconSite::count(const QString &path)
{
    ++mCounts[path];
    ++mTotal;
}

void AnimiconSite::addRoutes(QHttpServer &server)
{
    server.route(QStringLiteral("/animicon/ini/<arg>"), [this](const QString &file, const QHttpServerRequest &request) {
        count(request.url().path());
        const QByteArray bytes = catalogueFile(QStringLiteral("ini/") + file);
        return bytes.isNull() ? notFound() : QHttpServerResponse("text/plain", bytes);
    });
    server.route(QStringLiteral("/animicon/thumb/<arg>/<arg>"),
                 [this](const QString &list, const QString &file, const QHttpServerRequest &request) {
                     count(request.url().path());
                     const QByteArray bytes = catalogueFile(QStringLiteral("thumb/%1/%2").arg(list, file));
                     return bytes.isNull() ? notFound() : QHttpServerResponse("image/bmp", bytes);
                 });
    server.route(QStringLiteral("/animicon/play/<arg>"), [this](const QString &file, const QHttpServerRequest &request) {
        count(request.url().path());
        const QByteArray bytes = file.endsWith(QLatin1String(".svg")) ? playPicture(file.chopped(4)) : QByteArray();
        return bytes.isNull() ? notFound() : QHttpServerResponse("image/svg+xml", bytes);
    });
    server.route(QStringLiteral("/animicon_play.php"), [this](const QHttpServerRequest &request) {
        count(request.url().path());
        const QByteArray page = playPage(QUrlQuery(request.url()).queryItemValue(QStringLiteral("id")));
        return page.isNull() ? notFound() : QHttpServerResponse("text/html; charset=utf-8", page);
    });
}

} // namespace localservice
