#pragma once

// Reads the animicon catalogue's INI texts: "[section]" headers and
// "key=value" lines, looked up the way the service's files have always been
// read (case-insensitive headers, a key found as part of a line's name, the
// value up to the next "=").

#include <QByteArray>
#include <QString>

#include <optional>

class IniManager
{
public:
    IniManager() = default;
    explicit IniManager(const QString &iniString) : mIniString(iniString) {}

    // A downloaded file: code page 949 up to the first NUL. Nothing for no
    // bytes or bytes that are not code page 949.
    static std::optional<IniManager> fromData(const QByteArray &bytes);

    void setIniString(const QString &iniString) { mIniString = iniString; }
    const QString &iniString() const { return mIniString; }

    // The value of a key in a section, or null. The section runs from its
    // header to the next "[" or to the end of the text; the first line whose
    // name (the text before its first "=") contains the key, ignoring case,
    // gives the text between its first "=" and the next "=" or the line's end
    // (a CR stays). A matching line without "=" gives null.
    QString valueForPrimaryKey(const QString &section, const QString &key) const;

private:
    QString mIniString;
};
