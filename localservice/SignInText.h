#pragma once

// The four-line sign-in text of LIN4, read the way a server reads it: lines
// ended by CR LF, split at single spaces into 4, 7, 1 and 4 words, none of
// them empty, and the machine's identity in its forms (the PC ID 32 hex
// digits, the location key four characters of its alphabet).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace localservice {

struct SignInText {
    QString password;
    QString passwordType;
    QString clientVersion;
    QString languageOS;   // the second line's first word, escaped as on the wire
    QString computerName; // its sixth, escaped as on the wire
    QString pcid;
    QString locKey;

    // The text read, or nothing with `why` set.
    static std::optional<SignInText> read(const QByteArray &bytes, QString *why);
};

} // namespace localservice
