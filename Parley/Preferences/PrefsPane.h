#pragma once

// One pane of the preferences window. The window reads every pane from the
// stores when it opens or is bound to another user, and saves them when it
// closes; a pane reads and saves only its own controls, through the
// window's context (which the window keeps current and outlives the panes).

#include <QString>
#include <QVariantMap>
#include <QWidget>

namespace parley {

class PrefsSession;
class PrefsShell;

struct PrefsContext {
    bool signedIn = false;
    QString userID;                  // the user the window is bound to (null: none)
    QVariantMap userPrefs;           // that user's dictionary, saved on closing
    PrefsSession *session = nullptr; // the facade; null when there is none
    PrefsShell *shell = nullptr;
};

class PrefsPane : public QWidget
{
    Q_OBJECT
public:
    PrefsPane(PrefsContext &context, QWidget *parent = nullptr) : QWidget(parent), mContext(context) {}

    // Sets the pane's texts, then fills its controls from the stores when
    // signed in, or disables those that edit per-user or server values.
    virtual void read() = 0;
    // Stores the controls' values (the window calls it on closing).
    virtual void save() = 0;

protected:
    PrefsContext &mContext;
};

} // namespace parley
