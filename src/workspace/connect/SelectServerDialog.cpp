#include "workspace/connect/SelectServerDialog.h"

#include "db/ServerBrowser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace marlix {

CSelectServerDialog::CSelectServerDialog(CODBCSession& session, const std::string& driverText,
                                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("selectServerDialog"));
    setWindowTitle(tr("Select Server"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("The following servers running database server instances\n"
                                    "are currently active on network:"),
                                 this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("servers"));
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { ok_->setEnabled(!list_->selectedItems().isEmpty()); });

    ok_->setEnabled(false);
    // A browse may wait on the network.
    struct WaitCursor {
        WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    } wait;
    for (const std::string& name : BrowseServers(session, driverText))
        list_->addItem(QString::fromStdString(name));
}

QString CSelectServerDialog::Server() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

} // namespace marlix
