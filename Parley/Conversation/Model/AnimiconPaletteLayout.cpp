#include "AnimiconPaletteLayout.h"

int AnimiconPaletteLayout::pageCount(int itemCount) { return qMax(0, itemCount) / kPerPage + 1; }

int AnimiconPaletteLayout::lastIndex(int page, int itemCount)
{
    const int first = firstIndex(page);
    return first + kPerPage - 1 >= itemCount ? itemCount - 1 : first + kPerPage - 1;
}

QRect AnimiconPaletteLayout::cellRect(int slot, const QSize &bounds)
{
    const int column = slot % kColumns;
    const int row = slot / kColumns;
    return QRect(10 + column * kStep, bounds.height() - kCellSize - 5 - row * kStep, kCellSize, kCellSize);
}

QStringList AnimiconPaletteLayout::pageLabels(int pageCount, const QString &previous, const QString &next)
{
    QStringList labels{QLatin1Char('[') + previous + QLatin1Char(']')};
    for (int n = 1; n <= pageCount; ++n)
        labels << QStringLiteral("[%1]").arg(n);
    labels << QLatin1Char('[') + next + QLatin1Char(']');
    return labels;
}

QList<QRect> AnimiconPaletteLayout::pageLabelRects(const QList<QSize> &labelSizes, const QSize &bounds)
{
    int sum = 0;
    for (const QSize &size : labelSizes)
        sum += size.width() + kLinkGap;
    int x = (bounds.width() - (sum - kLinkGap)) / 2;
    QList<QRect> out;
    for (const QSize &size : labelSizes) {
        out.push_back(QRect(QPoint(x, 5), size));
        x += size.width() + kLinkGap;
    }
    return out;
}

std::optional<int> AnimiconPaletteLayout::targetPage(const QString &label, int currentPage, int pageCount,
                                                     const QString &previous, const QString &next)
{
    if (label == QLatin1Char('[') + previous + QLatin1Char(']')) {
        if (currentPage <= 0)
            return std::nullopt;
        return currentPage - 1;
    }
    if (label == QLatin1Char('[') + next + QLatin1Char(']')) {
        if (currentPage + 1 >= pageCount)
            return std::nullopt;
        return currentPage + 1;
    }
    for (int page = 0; page < pageCount; ++page)
        if (label == QStringLiteral("[%1]").arg(page + 1))
            return page;
    return std::nullopt;
}

QList<AnimiconPaletteLayout::Tab> AnimiconPaletteLayout::tabs(const QList<bool> &visible)
{
    QList<Tab> out;
    for (int i = 0; i < visible.size(); ++i) {
        if (!visible[i])
            continue;
        out.push_back({i, QRect(0, 202 - 25 * int(out.size()), 60, 25), i == 0});
    }
    return out;
}
