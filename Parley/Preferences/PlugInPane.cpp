#include "PlugInPane.h"

#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "PlugInPaneModel.h"
#include "PrefsPlugInHost.h"
#include "PrefsServices.h"
#include "PrefsWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace parley {

namespace {

const QString kId = QStringLiteral("id");

} // namespace

PlugInPane::PlugInPane(PrefsContext &context, QWidget *parent) : PrefsPane(context, parent)
{
    mPluginTitle = PrefsWidgets::titleLabel(this);
    mPluginGuide = PrefsWidgets::guideLabel(this);
    mPluginTableView = new QTableWidget(0, 2, this);
    mPluginTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mPluginTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    mPluginTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mPluginTableView->verticalHeader()->hide();
    mPluginTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    mPluginTableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    mPluginTableView->setMinimumHeight(110);
    mPluginBox = new QGroupBox(this);
    mPluginImageView = new QLabel(mPluginBox);
    mPluginImageView->setFixedSize(48, 48);
    mPluginImageView->setPixmap(ImageRegistry::pixmap(QStringLiteral("prefs_plugin")).scaled(
        48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    mPlugItemField = new QLabel(mPluginBox);
    mPlugItemField->setTextFormat(Qt::PlainText);
    QFont bold = mPlugItemField->font();
    bold.setBold(true);
    mPlugItemField->setFont(bold);
    mPluginDescField = PrefsWidgets::guideLabel(mPluginBox);
    mPluginDescField->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    mPluginDescField->setMinimumHeight(64);
    mPluginAutoStartBtn = new QCheckBox(mPluginBox);
    mInstallBtn = new QPushButton(mPluginBox);
    mUpdateBtn = new QPushButton(mPluginBox);
    mRemoveBtn = new QPushButton(mPluginBox);
    mInstallProgress = new QProgressBar(mPluginBox);
    mInstallProgress->setObjectName(QStringLiteral("installProgress"));
    mInstallProgress->setRange(0, 0);
    mInstallProgress->hide();

    auto *details = new QGridLayout(mPluginBox);
    details->addWidget(mPluginImageView, 0, 0, 2, 1, Qt::AlignTop);
    details->addWidget(mPlugItemField, 0, 1);
    details->addWidget(mPluginDescField, 1, 1);
    details->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mPluginAutoStartBtn);
    buttons->addStretch(1);
    buttons->addWidget(mInstallBtn);
    buttons->addWidget(mUpdateBtn);
    buttons->addWidget(mRemoveBtn);
    details->addLayout(buttons, 2, 0, 1, 2);
    details->addWidget(mInstallProgress, 3, 0, 1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mPluginTitle);
    layout->addWidget(mPluginGuide);
    layout->addWidget(mPluginTableView);
    layout->addWidget(mPluginBox);
    layout->addStretch(1);

    connect(mPluginTableView, &QTableWidget::itemSelectionChanged, this, &PlugInPane::selectionChanged);
    connect(mInstallBtn, &QPushButton::clicked, this, &PlugInPane::installPlugIn);
    connect(mUpdateBtn, &QPushButton::clicked, this, &PlugInPane::updatePlugIn);
    connect(mRemoveBtn, &QPushButton::clicked, this, &PlugInPane::removePlugIn);
    connect(mPluginAutoStartBtn, &QCheckBox::clicked, this, &PlugInPane::toggleAutoStart);

    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, QLatin1String(notifications::kPlugInQuit), nullptr,
                       [this](const Notification &n) { plugInQuit(n.userInfo); });
    center.addObserver(this, QLatin1String(notifications::kUpdateControllerCompleted), nullptr,
                       [this](const Notification &) { updateCompleted(); });
    center.addObserver(this, QLatin1String(notifications::kUpdateManagerPlugInUpdateProgress), nullptr,
                       [this](const Notification &n) { installProgress(n.userInfo); });
    center.addObserver(this, QLatin1String(notifications::kUpdateManagerPlugInUpdateResult), nullptr,
                       [this](const Notification &n) { installResult(n.userInfo); });
}

void PlugInPane::read()
{
    mPluginTitle->setText(PrefsWidgets::text("PluginTitle"));
    mPluginGuide->setText(PrefsWidgets::text("PluginGuide"));
    mPluginBox->setTitle(PrefsWidgets::text("PluginBox"));
    mPluginAutoStartBtn->setText(PrefsWidgets::text("PluginAutoStart"));
    mInstallBtn->setText(PrefsWidgets::text("Install"));
    mUpdateBtn->setText(PrefsWidgets::text("Upgrade"));
    mRemoveBtn->setText(PrefsWidgets::text("Remove"));
    mPluginTableView->setAccessibleName(PrefsWidgets::text("PluginTitle"));
    clearDetails();
    // Titled also signed out, so that the empty table shows no column numbers.
    mPluginTableView->setHorizontalHeaderLabels(
        {PrefsWidgets::text("PluginName"), PrefsWidgets::text("PluginInstalled")});
    if (!mContext.signedIn) {
        mRows.clear();
        mPluginTableView->setRowCount(0);
        return;
    }
    reloadTable();
}

void PlugInPane::reloadTable()
{
    const QSignalBlocker quiet(mPluginTableView);
    mRows = PrefsServices::plugInHost().plugInList();
    mPluginTableView->clearSelection();
    mPluginTableView->setRowCount(int(mRows.size()));
    for (int row = 0; row < mRows.size(); ++row) {
        const QVariantMap &entry = mRows.at(row);
        mPluginTableView->setItem(row, 0, new QTableWidgetItem(entry.value(QStringLiteral("name")).toString()));
        mPluginTableView->setItem(row, 1, new QTableWidgetItem(PlugInPaneModel::installedText(entry)));
    }
    // Room for the state's whole text beside the cell's own margins.
    mPluginTableView->resizeColumnToContents(1);
    mPluginTableView->setColumnWidth(1, mPluginTableView->columnWidth(1) + 16);
    clearDetails();
}

void PlugInPane::clearDetails()
{
    mPluginImageView->setEnabled(false);
    mPluginAutoStartBtn->setEnabled(false);
    mInstallBtn->setEnabled(false);
    mUpdateBtn->setEnabled(false);
    mRemoveBtn->setEnabled(false);
    mPlugItemField->clear();
    mPluginDescField->clear();
}

std::optional<QVariantMap> PlugInPane::selectedEntry() const
{
    const QList<QTableWidgetItem *> selected = mPluginTableView->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int row = selected.constFirst()->row();
    if (row < 0 || row >= mRows.size() || mRows.at(row).value(kId).toString().isEmpty())
        return std::nullopt;
    return mRows.at(row);
}

void PlugInPane::selectionChanged()
{
    if (mPluginTableView->selectedItems().isEmpty()) {
        clearDetails();
        return;
    }
    const std::optional<QVariantMap> entry = selectedEntry();
    if (!entry)
        return;
    const QString id = entry->value(kId).toString();
    const PrefsPlugInHost &host = PrefsServices::plugInHost();
    PlugInFacts facts;
    facts.isMessageBox = id == QLatin1String(notifications::kMessageBoxPlugInID);
    facts.installed = host.isInstalledPlugIn(id);
    facts.updatePending = host.isNeedUpdatePlugIn(id);
    facts.autoLaunchAllowed = host.isEnableAutoLaunchPlugIn(id);
    facts.autoLaunchOn = host.isAutoLaunchPlugIn(id);
    const PlugInControls controls = PlugInPaneModel::controlsFor(facts);
    mPluginImageView->setEnabled(true);
    mPluginAutoStartBtn->setEnabled(controls.autoStartEnabled);
    mPluginAutoStartBtn->setChecked(controls.autoStartChecked);
    // One install at a time: its progress is the pane's.
    mInstallBtn->setEnabled(controls.installEnabled && mInstallingID.isNull());
    mUpdateBtn->setEnabled(controls.upgradeEnabled && mInstallingID != id);
    mRemoveBtn->setEnabled(controls.removeEnabled);
    mPlugItemField->setText(entry->value(QStringLiteral("name")).toString());
    mPluginDescField->setText(PlugInPaneModel::descriptionText(*entry, facts.installed, facts.updatePending));
}

void PlugInPane::installPlugIn()
{
    const auto entry = selectedEntry();
    if (!entry || !mInstallingID.isNull())
        return;
    const QString id = entry->value(kId).toString();
    if (!PrefsServices::plugInHost().updatePlugIn(id, true)) {
        alertUpdateFailed();
        return;
    }
    mInstallingID = id;
    mInstallProgress->setRange(0, 0); // until the size is known
    mInstallProgress->show();
    mInstallBtn->setEnabled(false);
    mUpdateBtn->setEnabled(false);
}

void PlugInPane::installProgress(const QVariantMap &record)
{
    if (mInstallingID.isNull() || record.value(QStringLiteral("uuid")).toString() != mInstallingID)
        return;
    const QVariant progress = record.value(QStringLiteral("progress"));
    if (!progress.isValid())
        return;
    mInstallProgress->setRange(0, 100);
    mInstallProgress->setValue(qBound(0, int(progress.toDouble()), 100));
}

void PlugInPane::installResult(const QVariantMap &userInfo)
{
    // The result names no plug-in; only an install of this pane waits for one
    // (the updater window hears the upgrades').
    if (mInstallingID.isNull())
        return;
    const QString id = std::exchange(mInstallingID, QString());
    mInstallProgress->hide();
    if (userInfo.value(QStringLiteral("result")).toBool())
        PrefsServices::plugInHost().installFinished(id);
    else
        alertUpdateFailed();
    reloadAndSelect(id);
}

void PlugInPane::alertUpdateFailed()
{
    KCAlertRequest request;
    request.key = QStringLiteral("UpdateErrorMessage");
    request.title = PrefsWidgets::text("UpdatePlugIn");
    request.message = PrefsWidgets::text("UpdateErrorMessage");
    request.buttons = {PrefsWidgets::text("OK")};
    request.style = KCAlertRequest::Style::Warning;
    request.parent = window();
    KCAlerts().show(request);
}

void PlugInPane::reloadAndSelect(const QString &plugInID)
{
    reloadTable();
    for (int row = 0; row < mRows.size(); ++row) {
        if (mRows.at(row).value(kId).toString() == plugInID) {
            mPluginTableView->selectRow(row);
            return;
        }
    }
}

void PlugInPane::updatePlugIn()
{
    const auto entry = selectedEntry();
    if (!entry)
        return;
    const QString id = entry->value(kId).toString();
    plugin::postQuitPlugInProcess(id, PrefsServices::distributedCenter());
    PrefsServices::plugInHost().quitPlugin(id, QLatin1String(kUpdateKey));
}

void PlugInPane::removePlugIn()
{
    const auto entry = selectedEntry();
    if (!entry)
        return;
    KCAlertRequest request;
    request.key = QStringLiteral("PlugInRemoveMsg");
    request.title = PrefsWidgets::text("PlugInRemoveTitle");
    request.message = PrefsWidgets::text("PlugInRemoveMsg").arg(entry->value(QStringLiteral("name")).toString());
    request.buttons = {PrefsWidgets::text("OK"), PrefsWidgets::text("Cancel")};
    request.parent = window();
    if (KCAlerts().ask(request).button != 0)
        return;
    const QString id = entry->value(kId).toString();
    plugin::postQuitPlugInProcess(id, PrefsServices::distributedCenter());
    PrefsServices::plugInHost().quitPlugin(id, QLatin1String(kRemoveKey));
}

void PlugInPane::toggleAutoStart()
{
    if (const auto entry = selectedEntry())
        PrefsServices::plugInHost().setPluginAutoLaunch(entry->value(kId).toString(), mPluginAutoStartBtn->isChecked());
}

void PlugInPane::plugInQuit(const QVariantMap &userInfo)
{
    const QString id = userInfo.value(kId).toString();
    const QString key = userInfo.value(QStringLiteral("key")).toString();
    if (id.isEmpty())
        return;
    PrefsPlugInHost &host = PrefsServices::plugInHost();
    if (key == QLatin1String(kRemoveKey)) {
        host.removePlugIn(id);
        reloadTable();
    } else if (key == QLatin1String(kUpdateKey)) {
        // An update that did not start would leave the updater waiting for ever.
        if (!host.updatePlugIn(id, true)) {
            alertUpdateFailed();
            reloadAndSelect(id);
            return;
        }
        host.showPlugInUpdater(id, false);
    }
}

void PlugInPane::updateCompleted()
{
    const QList<QTableWidgetItem *> selected = mPluginTableView->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.constFirst()->row();
    // The manager's entries are live: take them again, then select the row anew.
    reloadTable();
    if (row < mPluginTableView->rowCount())
        mPluginTableView->selectRow(row);
}

} // namespace parley
