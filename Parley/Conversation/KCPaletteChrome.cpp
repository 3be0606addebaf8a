#include "KCPaletteChrome.h"

#include "KCFonts.h"
#include "Utils/KCUtilities.h"

#include <QLabel>
#include <QToolButton>

QLabel *KCAddPaletteTitle(QWidget *palette, const QString &titleKey, int width, int height)
{
    auto *title = new QLabel(parley::KCLocalizedString(titleKey), palette);
    title->setGeometry(8, 0, width, height);
    QFont titleFont = KCPaletteFont(12);
    titleFont.setBold(true);
    title->setFont(titleFont);
    return title;
}

QToolButton *KCAddPaletteButton(QWidget *palette, const QString &symbol, const QString &toolTipKey, int rightInset)
{
    auto *button = new QToolButton(palette);
    button->setText(symbol);
    button->setToolTip(parley::KCLocalizedString(toolTipKey));
    button->setAccessibleName(button->toolTip());
    button->setAutoRaise(true);
    button->setGeometry(palette->width() - rightInset, 1, 20, 20);
    return button;
}
