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

    // What start-up has to do about the message box.
    struct Plan {
        Result result = Result::Ready;
        bool install = false; // the shipped bundle goes into the PlugIn folder
        QString version;      // the shipped bundle's version
    };

    // Creates the folders, repairs plugin.plist and decides whether the
    // message box must be installed. Failures to create are logged, not reported.
    Plan prepare();
    // The support folder has no emoticon set yet.
    bool emoticonsMissing() const;
    // Copies the shipped emoticon set when the support folder has none;
    // answers whether it is there. Worker-safe, as the installation below.
    bool copyEmoticons() const;
    // Copies the shipped bundle into place (beside the installed one, then
    // renamed); answers whether it is there. Touches only the PlugIn folder,
    // so it may run on a worker thread.
    bool installMessageBox() const;
    // Records the installed message box in plugin.plist.
    void recordMessageBox(const QString &version) const;
    // prepare(), then the copies and the record at once.
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
    QString mSupport;
    QString mResources;
};

} // namespace parley::shell
