#pragma once

// The messenger's folders under the support folder, the plug-in list
// "PlugIn/plugin.plist" and the installation of the message box: the bundle
// that ships in the resource folder is copied into the PlugIn folder when it
// is missing there or newer. Widget-free: the controller shows the alert and
// quits when the components are missing.

#include <QString>
#include <QVariantMap>

namespace parley::shell {

class ApplicationFolders
{
public:
    enum class Result {
        Ready,
        ComponentsMissing, // the message box's bundle is missing or has no version
    };

    // `supportPath`: the support folder; `resourcePath`: our resource folder
    // (where "Pigeonhole.app" and "Emoticon" ship).
    ApplicationFolders(const QString &supportPath, const QString &resourcePath);

    // Creates the folders, repairs plugin.plist and installs the message box
    // when needed. Failures to create or copy are logged, not reported.
    Result initialize();

    QString plugInFolder() const;
    QString plugInListPath() const;
    QString installedMessageBoxPath() const;
    QString shippedMessageBoxPath() const;
    QString messageFolder() const;

    // Deletes the message box's pre-login store (Message/default.sqlite with
    // its journal files); answers whether nothing of it is left.
    bool removePreLoginStore() const;

    // The bundle's CFBundleVersion; null when the bundle, its Info.plist or
    // the key is missing.
    static QString bundleVersion(const QString &bundlePath);
    // The value of the version's leading decimal number ("1.10" is 1.1,
    // "2.0.1" is 2.0); 0 when it has none.
    static double leadingDecimalValue(const QString &version);

    // Copies a folder tree to `destination` (which must not exist); links are
    // copied as links. Answers whether everything was copied; on failure
    // nothing is left at `destination`.
    static bool copyTree(const QString &source, const QString &destination);

private:
    bool installMessageBox(const QString &version);
    void recordMessageBox(const QString &version);

    QString mSupport;
    QString mResources;
};

} // namespace parley::shell
