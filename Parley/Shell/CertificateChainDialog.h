#pragma once

// The server's certificate chain, one certificate per entry (server first)
// with its subject, issuer, validity and SHA-256 fingerprint. The names come
// from the server and are shown as plain text.

#include <QDialog>

class QTreeWidget;

namespace parley::shell {

class CertificateChainDialog : public QDialog
{
    Q_OBJECT

public:
    CertificateChainDialog(const QList<QByteArray> &chain, QWidget *parent);

    QTreeWidget *tree() const { return mTree; }

private:
    QTreeWidget *mTree;
};

} // namespace parley::shell
