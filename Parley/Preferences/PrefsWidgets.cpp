#include "PrefsWidgets.h"

#include "Utils/KCUtilities.h"

#include <QComboBox>
#include <QLabel>

namespace parley {

void PrefsWidgets::fillPopup(QComboBox *popup, const QStringList &titleKeys)
{
    QStringList titles;
    for (const QString &key : titleKeys)
        titles << KCLocalizedString(key);
    fillPopupWithTitles(popup, titles);
}

void PrefsWidgets::fillPopupWithTitles(QComboBox *popup, const QStringList &titles)
{
    popup->clear();
    for (int i = 0; i < titles.size(); ++i)
        popup->addItem(titles.at(i), i);
}

QLabel *PrefsWidgets::guideLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel *PrefsWidgets::titleLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString PrefsWidgets::text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace parley
