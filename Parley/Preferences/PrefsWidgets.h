#pragma once

// Small helpers the panes share to build their controls in code.

#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QWidget;

namespace parley {

class PrefsWidgets
{
public:
    PrefsWidgets() = delete;

    // Empties the pop-up and fills it with the localized texts of the keys,
    // each item's data its index (0, 1, ...).
    static void fillPopup(QComboBox *popup, const QStringList &titleKeys);
    // Same with texts taken as they are.
    static void fillPopupWithTitles(QComboBox *popup, const QStringList &titles);
    // A label that wraps (guides and explanations) or a bold title.
    static QLabel *guideLabel(QWidget *parent);
    static QLabel *titleLabel(QWidget *parent);
    // The localized text of a key.
    static QString text(const char *key);
};

} // namespace parley
