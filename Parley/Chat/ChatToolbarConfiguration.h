#pragma once

#include <QString>
#include <QStringList>

namespace parley {

// How the chat windows' toolbar is arranged: which of its items show, in the
// toolbar's own order, and whether they show icon, label or both. It is kept
// in the user defaults under the toolbar's name, so every chat window opens
// with the user's choice. Identifiers and modes read from the file that the
// toolbar does not know are ignored, so a damaged entry cannot hide items
// that it does not name; one that names none shows them all.
class ChatToolbarConfiguration
{
public:
    enum DisplayMode { Default = 0, IconAndLabel = 1, IconOnly = 2, LabelOnly = 3 };

    static constexpr char kToolbarIdentifier[] = "PLInviteToolbarItemIdentifier";
    static constexpr char kFileTransItemIdentifier[] = "PLFileTransToolbarItemIdentifier";
    static constexpr char kDefaultsKey[] = "NSToolbar Configuration PLInviteToolbarItemIdentifier";

    // The items the toolbar has, in order.
    static QStringList allItems();
    static ChatToolbarConfiguration load();
    bool save() const;

    bool isShown(const QString &item) const { return mShownItems.contains(item); }
    qsizetype shownCount() const { return mShownItems.size(); }
    void setShown(const QString &item, bool shown);
    DisplayMode displayMode() const { return mDisplayMode; }
    void setDisplayMode(DisplayMode mode) { mDisplayMode = mode; }

private:
    QStringList mShownItems = allItems();
    DisplayMode mDisplayMode = Default;
};

} // namespace parley
