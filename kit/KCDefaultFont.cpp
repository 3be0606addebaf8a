#include "KCDefaultFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// Gothic faces with Hangul, best first.
constexpr const char *kPreferredFamilies[] = {"NanumGothic", "Noto Sans CJK KR", "Noto Sans KR", "UnDotum"};

QString interfaceFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char *candidate : kPreferredFamilies) {
            if (installed.contains(QLatin1String(candidate)))
                return QString::fromLatin1(candidate);
        }
        return QString();
    }();
    return family;
}

} // namespace

QFont GetDefaultFontOfSize(qreal pointSize)
{
    QFont font = interfaceFamily().isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                                             : QFont(interfaceFamily());
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

void KCSubstituteMessageFaces()
{
    static const bool done = [] {
        const QString family = GetDefaultFontOfSize(0).family();
        for (const char *face : {"AppleGothic", "Gulim"})
            QFont::insertSubstitution(QLatin1String(face), family);
        return true;
    }();
    (void)done;
}
