#pragma once

// Every alert and question a window of either application shows goes through
// one presenter, so that tests answer them from a script (ScriptedAlerts in
// tests/gui) and the windows never call QMessageBox themselves.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

struct KCAlertRequest {
    enum class Style { Informational, Warning, Critical };

    // A stable name for the alert that tests match on: the string key of its
    // message where it has one ("AlertNetworkError"), else a name of our own.
    QString key;
    QString title;        // the headline
    QString message;      // the informative text (plain text)
    QString detail;       // a longer text folded in and out (empty: none)
    QStringList buttons;  // titles in order, the first is the default; empty: the localized "OK"
    QString checkBoxText; // empty: no check box
    bool checkBoxChecked = false;
    Style style = Style::Informational;
    QWidget *parent = nullptr; // set: a window-modal sheet over that window
    // A password field under the message; what was typed is the answer's text.
    bool secureTextField = false;
    // A line over the field and a label at its left (empty: none).
    QString textFieldMessage;
    QString textFieldLabel;
    // Rich text of our own under the field, in a text browser whose links
    // open in the web browser (empty: none).
    QString accessoryHtml;
    // Buttons under the accessory text: each runs its action and leaves the
    // alert up (only `buttons` end it).
    struct AccessoryButton {
        QString title;
        std::function<void()> action;
    };
    QList<AccessoryButton> accessoryButtons;
    // The alert's picture, an image of ImageRegistry (empty: the style's).
    QString iconName;
};

struct KCAlertAnswer {
    int button = -1;      // index into buttons; -1 when the alert ended otherwise (closed, Escape)
    bool checked = false; // the check box's final state
    QString text;         // the text field's contents (empty without one)
};

class KCAlertPresenter
{
public:
    virtual ~KCAlertPresenter() = default;
    // Shows the alert and waits for the answer with the event loop running.
    virtual KCAlertAnswer ask(const KCAlertRequest &request) = 0;
    // Shows the alert and returns at once; `done` (when given) hears the answer.
    virtual void show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done = {}) = 0;
};

// The installed presenter, or the kit's dialogs when none is installed.
KCAlertPresenter &KCAlerts();
// Installs a presenter (not owned); nullptr restores the kit's dialogs.
void KCSetAlertPresenter(KCAlertPresenter *presenter);
