#include "CertificateChainDialog.h"

#include "CertificateSummary.h"
#include "KCDefaultFont.h"
#include "Utils/KCUtilities.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QFontMetrics>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QString dateText(const QDateTime &date)
{
    return date.isValid() ? date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

} // namespace

CertificateChainDialog::CertificateChainDialog(const QList<QByteArray> &chain, QWidget *parent)
    : QDialog(parent), mTree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("CertificateChainDialog"));
    setWindowTitle(text("CertChainTitle"));
    setFont(GetDefaultFontOfSize(11));
    resize(560, 320);
    auto *layout = new QVBoxLayout(this);
    mTree->setColumnCount(2);
    mTree->setHeaderHidden(true);
    mTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (const QByteArray &der : chain) {
        auto *item = new QTreeWidgetItem(mTree);
        const std::optional<CertificateSummary> summary = CertificateSummary::fromDer(der);
        if (!summary) {
            item->setText(0, text("CertUnreadable"));
            continue;
        }
        item->setText(0, summary->subject);
        item->setFirstColumnSpanned(true);
        const std::pair<const char *, QString> rows[] = {
            {"CertSubject", summary->subject},
            {"CertIssuer", summary->issuer},
            {"CertValidFrom", dateText(summary->notBefore)},
            {"CertValidUntil", dateText(summary->notAfter)},
            // Two lines of sixteen bytes each.
            {"CertFingerprint", summary->sha256.left(47) + QLatin1Char('\n') + summary->sha256.mid(48)},
        };
        for (const auto &[key, value] : rows)
            new QTreeWidgetItem(item, QStringList{text(key), value});
    }
    mTree->expandAll();
    // Wide enough for the whole fingerprint, as far as the screen allows.
    mTree->resizeColumnToContents(0);
    mTree->resizeColumnToContents(1);
    resize(qMin(900, mTree->columnWidth(0) + mTree->columnWidth(1) + 60), 320);
    layout->addWidget(mTree);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(text("OK"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace parley::shell
