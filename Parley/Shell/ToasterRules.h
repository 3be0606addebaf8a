#pragma once

// What a pop-up notice of each four-letter slide type is: which builder shows
// it, its default icon and sound, and for the sister service's types the
// group that says which news mark of the main window it lights.

#include <QString>

namespace parley::shell {

enum class ToasterKind {
    None,          // shows nothing
    Chat,          // "CHAT": a chat message arrived
    Login,         // "LGIN": a buddy signed in
    Memo,          // "MEMO": a memo arrived
    Mail,          // "MAIL" and "REML": a mail, a read confirmation
    File,          // "FILE": accepted, shows nothing
    SisterService, // the sister service's news (three groups)
    MultiLogin,    // "MCNT": the account signed in elsewhere
};

class ToasterRules
{
public:
    ToasterRules() = delete;

    // In the order the dispatcher compares them.
    static ToasterKind kindForSlideType(const QString &type);
    // 1, 2 or 3 for a sister-service type; 0 for any other.
    static int sisterGroupForSlideType(const QString &type);
    // The marks a sister-service group lights: the personal page's (group 2)
    // and the sister service's (group 1).
    static bool personalPageMarkForGroup(int group) { return group == 2; }
    static bool sisterServiceMarkForGroup(int group) { return group == 1; }

    static QString defaultIconForSlideType(const QString &type);
    static QString defaultSoundForSlideType(const QString &type);
};

} // namespace parley::shell
