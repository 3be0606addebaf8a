#pragma once

// The Plug-in pane: the plug-ins the plug-in manager knows, with Install,
// Upgrade and Remove and whether each starts with the messenger. It acts at
// once; the window's save stores nothing of it. Upgrade and Remove first ask
// the plug-in's process to quit and go on when the plug-in manager reports
// that it ended ("PlugInQuitNotification" with the key given here).

#include "PrefsPane.h"

#include <QList>
#include <QVariantMap>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace parley {

class PlugInPane : public PrefsPane
{
    Q_OBJECT
public:
    static constexpr char kRemoveKey[] = "removePlugIn_Preference";
    static constexpr char kUpdateKey[] = "updatePlugIn_Preference";

    explicit PlugInPane(PrefsContext &context, QWidget *parent = nullptr);

    void read() override;
    void save() override {}

    void reloadTable();
    void selectionChanged();
    void installPlugIn();
    void updatePlugIn();
    void removePlugIn();
    void toggleAutoStart();
    // The plug-in manager's report that a plug-in's process ended.
    void plugInQuit(const QVariantMap &userInfo);
    // The updater finished: the selected row is selected again to refresh.
    void updateCompleted();
    // The update manager's reports of an install started here.
    void installProgress(const QVariantMap &record);
    void installResult(const QVariantMap &userInfo);
    // The plug-in being installed from this pane (null: none).
    const QString &installingID() const { return mInstallingID; }

    QTableWidget *table() const { return mPluginTableView; }
    QCheckBox *autoStartButton() const { return mPluginAutoStartBtn; }
    QPushButton *installButton() const { return mInstallBtn; }
    QPushButton *updateButton() const { return mUpdateBtn; }
    QPushButton *removeButton() const { return mRemoveBtn; }
    QLabel *nameField() const { return mPlugItemField; }
    QLabel *descriptionField() const { return mPluginDescField; }
    QLabel *imageView() const { return mPluginImageView; }
    QProgressBar *installProgressBar() const { return mInstallProgress; }

private:
    // The selected row's entry; none without a selection or an "id".
    std::optional<QVariantMap> selectedEntry() const;
    void clearDetails();
    // The update could not start or failed: the user is told.
    void alertUpdateFailed();
    // Selects the row of that plug-in again (the buttons and texts follow).
    void reloadAndSelect(const QString &plugInID);

    QList<QVariantMap> mRows;
    QLabel *mPluginTitle;
    QLabel *mPluginGuide;
    QTableWidget *mPluginTableView;
    QGroupBox *mPluginBox;
    QLabel *mPluginImageView;
    QLabel *mPlugItemField;
    QLabel *mPluginDescField;
    QCheckBox *mPluginAutoStartBtn;
    QPushButton *mInstallBtn;
    QPushButton *mUpdateBtn;
    QPushButton *mRemoveBtn;
    QProgressBar *mInstallProgress;
    QString mInstallingID;
};

} // namespace parley
