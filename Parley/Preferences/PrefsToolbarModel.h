#pragma once

// The preferences window's toolbar as data: which panes an account gets and
// what each toolbar item shows.

#include <QString>
#include <QStringList>

#include <optional>

namespace parley {

enum class PrefsPaneKind { General, Notification, Message, Privacy, Firewall, Plugin, Orchard, VelaCom };

struct PrefsToolbarItem {
    QString identifier; // "PLPREFSGeneral", ...
    QString labelKey;   // the string key of its label and of the window title
    QString image;      // the image name
    PrefsPaneKind pane;
};

class PrefsToolbarModel
{
public:
    PrefsToolbarModel() = delete;

    // The items, in order: a global-mode account has no plug-in pane; a
    // portal-ID login gets the sister service's pane, any other login the
    // portal's pane.
    static QStringList itemIdentifiers(bool globalMode, bool velaMode);
    // The item of an identifier; none for an unknown one.
    static std::optional<PrefsToolbarItem> item(const QString &identifier);
    static PrefsToolbarItem itemForPane(PrefsPaneKind pane);
};

} // namespace parley
