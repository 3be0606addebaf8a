#include "PrefsColorWell.h"

#include <QColorDialog>

namespace parley {

PrefsColorWell::PrefsColorWell(QObject *parent) : QObject(parent) {}

PrefsColorWell::~PrefsColorWell()
{
    delete mPanel;
}

void PrefsColorWell::setColor(const QColor &color)
{
    mColor = color;
    if (mPanel)
        mPanel->setCurrentColor(color);
}

void PrefsColorWell::activate(QWidget *window)
{
    if (!mPanel) {
        mPanel = new QColorDialog(mColor, window);
        mPanel->setOption(QColorDialog::NoButtons);
        mPanel->setModal(false);
        connect(mPanel, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
            mColor = color;
            emit colorChanged(color);
        });
    }
    mPanel->setCurrentColor(mColor);
    mPanel->show();
    mPanel->raise();
}

} // namespace parley
