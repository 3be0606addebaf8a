#include "SlideWindowSkins.h"

#include "Log.h"
#include "PropertyList.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace parley::shell {

namespace {

const QString kPref = QStringLiteral("pref");

} // namespace

SlideWindowSkins::SlideWindowSkins(const QVariantMap &dictionary, const QUrl &plistUrl)
    : mDictionary(dictionary), mPlistUrl(plistUrl)
{
}

SlideWindowSkins SlideWindowSkins::load(const QString &path)
{
    if (!QFileInfo::exists(path))
        return {};
    const PropertyList::ReadResult read = PropertyList::readFile(path);
    if (!read.ok() || read.value.typeId() != QMetaType::QVariantMap) {
        plLog(QStringLiteral("notice skins unreadable: %1").arg(read.ok() ? path : read.error));
        return {};
    }
    return SlideWindowSkins(read.value.toMap(), QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

std::optional<QRect> SlideWindowSkins::rectFromString(const QString &text, int windowHeight)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*\{\s*\{\s*(-?[0-9.]+)\s*,\s*(-?[0-9.]+)\s*\}\s*,\s*\{\s*([0-9.]+)\s*,\s*([0-9.]+)\s*\}\s*\}\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok[4];
    const double x = match.captured(1).toDouble(&ok[0]);
    const double y = match.captured(2).toDouble(&ok[1]);
    const double w = match.captured(3).toDouble(&ok[2]);
    const double h = match.captured(4).toDouble(&ok[3]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3]) || w > 10000 || h > 10000 || std::abs(x) > 10000 || std::abs(y) > 10000)
        return std::nullopt;
    return QRect(qRound(x), qRound(windowHeight - y - h), qRound(w), qRound(h));
}

int SlideWindowSkins::filterForString(const QString &filterType)
{
    if (filterType.compare(QLatin1String("c1"), Qt::CaseInsensitive) == 0)
        return 0;
    if (filterType.compare(QLatin1String("ormaincmn"), Qt::CaseInsensitive) == 0)
        return 1;
    return 2;
}

QString SlideWindowSkins::fileUnderBase(const QString &name) const
{
    QUrl base(mDictionary.value(QStringLiteral("base_url")).toString());
    if (base.isRelative() && mPlistUrl.isValid())
        base = mPlistUrl.resolved(base);
    if (!base.isLocalFile()) {
        // Skins are ours and lie beside the plist; nothing is fetched.
        plLog(QStringLiteral("notice skin image not local: %1").arg(base.toString()));
        return {};
    }
    const QString folder = base.toLocalFile();
    // A name that climbs out of the skin folder is refused.
    if (name.contains(QLatin1String("..")) || name.startsWith(QLatin1Char('/')))
        return {};
    return QStringLiteral("%1/%2").arg(folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder, name);
}

std::optional<SlideWindowSkin> SlideWindowSkins::skinForType(const QString &type) const
{
    if (!mDictionary.contains(QStringLiteral("version")) || !mDictionary.contains(QStringLiteral("base_url")))
        return std::nullopt;
    const QVariant entry = mDictionary.value(type);
    if (entry.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap skinDict = entry.toMap();
    SlideWindowSkin skin;
    const QString icon = skinDict.value(QStringLiteral("icon")).toString();
    if (!icon.isEmpty() && icon != kPref)
        skin.iconFile = fileUnderBase(icon);
    // The key is spelled so in the file.
    const QString background = skinDict.value(QStringLiteral("backgound")).toString();
    if (!background.isEmpty() && background != kPref)
        skin.backgroundFile = fileUnderBase(background);
    const auto rect = [&skinDict](const char *key) -> std::optional<QRect> {
        const QVariant value = skinDict.value(QLatin1String(key));
        return value.isValid() ? rectFromString(value.toString()) : std::nullopt;
    };
    skin.iconRect = rect("icon_pos");
    skin.closeButtonRect = rect("close_btn_pos");
    skin.textRect = rect("text_pos");
    if (skinDict.contains(QStringLiteral("code")))
        skin.code = skinDict.value(QStringLiteral("code")).toString();
    skin.filter = filterForString(skinDict.value(QStringLiteral("filterType")).toString());
    return skin;
}

int SlideWindowSkins::slideFilterTypeForSlideType(const QString &type) const
{
    const QVariant entry = mDictionary.value(type);
    if (entry.typeId() != QMetaType::QVariantMap)
        return 2;
    return filterForString(entry.toMap().value(QStringLiteral("filterType")).toString());
}

} // namespace parley::shell
