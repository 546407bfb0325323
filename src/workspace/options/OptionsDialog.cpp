#include "workspace/options/OptionsDialog.h"

#include "workspace/help/HelpWindow.h"
#include "workspace/options/DialectSettingsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

namespace marlix {

OptionsDialog::OptionsDialog(ProfileStore& profile, QWidget* parent)
    : QDialog(parent), profile_(profile), model_(profile), tabs_(new QTabBar(this)),
      page_(new DialectSettingsPage(this)), rowLimit_(new QLineEdit(this)), sizeLimit_(new QLineEdit(this)),
      suppressBlobs_(new QCheckBox(tr("Suppress &BLOB values"), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                        QDialogButtonBox::Apply | QDialogButtonBox::RestoreDefaults |
                                        QDialogButtonBox::Help,
                                    this)) {
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(tr("Options"));
    tabs_->setObjectName(QStringLiteral("dialectTabs"));
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    // One tab per dialect, all in sight: the dialog grows to their width rather than hiding some
    // behind scroll arrows.
    tabs_->setUsesScrollButtons(false);
    for (int tab = 0; tab < kOptionsTabCount; ++tab)
        tabs_->addTab(QString::fromLatin1(OptionsTabAt(tab).label));
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(page_);
    auto* driver = new QGroupBox(tr("Driver-specific settings"), this);
    auto* driverLayout = new QVBoxLayout(driver);
    driverLayout->setSpacing(0);
    driverLayout->addWidget(tabs_);
    driverLayout->addWidget(frame);

    rowLimit_->setObjectName(QStringLiteral("rowLimit"));
    sizeLimit_->setObjectName(QStringLiteral("sizeLimit"));
    rowLimit_->setToolTip(tr("Rows kept at most of each result set; 0 keeps them all"));
    sizeLimit_->setToolTip(tr("Megabytes kept at most of each result set"));
    suppressBlobs_->setObjectName(QStringLiteral("suppressBlobs"));
    suppressBlobs_->setToolTip(tr("Text tables show long binary columns as (BLOB) instead of their values"));
    auto* limits = new QGroupBox(tr("Result sets"), this);
    auto* limitsLayout = new QFormLayout(limits);
    limitsLayout->addRow(tr("&Rows limit:"), rowLimit_);
    limitsLayout->addRow(tr("&Size limit, MB:"), sizeLimit_);
    limitsLayout->addRow(suppressBlobs_);

    buttons_->button(QDialogButtonBox::RestoreDefaults)->setText(tr("D&efaults"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(driver);
    layout->addWidget(limits);
    layout->addWidget(buttons_);

    rowLimit_->setText(QString::fromStdString(model_.RowLimitText()));
    sizeLimit_->setText(QString::fromStdString(model_.SizeLimitText()));
    suppressBlobs_->setChecked(model_.SuppressBlobValues());
    ShowTab();

    connect(tabs_, &QTabBar::currentChanged, this, [this] { ShowTab(); });
    connect(page_, &DialectSettingsPage::edited, this, &OptionsDialog::PageEdited);
    connect(rowLimit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.SetRowLimitText(text.toStdString()); });
    connect(sizeLimit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.SetSizeLimitText(text.toStdString()); });
    connect(suppressBlobs_, &QCheckBox::toggled, this, [this](bool on) { model_.SetSuppressBlobValues(on); });
    connect(buttons_->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            &OptionsDialog::Defaults);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { Store(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        if (Store()) accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_, &QDialogButtonBox::helpRequested, this, [this] { ShowHelp(this, HelpTopic::Options); });
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [this] { ShowHelp(this, HelpTopic::Options); });
}

int OptionsDialog::CurrentTab() const {
    return tabs_->currentIndex();
}

void OptionsDialog::SelectTab(int tab) {
    tabs_->setCurrentIndex(tab);
}

void OptionsDialog::SetSampleMoment(const TIMESTAMP_STRUCT& moment) {
    model_.SetSampleMoment(moment);
    ShowSamples();
}

void OptionsDialog::ShowTab() {
    page_->Show(model_.Page(CurrentTab()));
    ShowSamples();
}

void OptionsDialog::ShowSamples() {
    const int tab = CurrentTab();
    page_->ShowSamples(QString::fromStdString(model_.SampleDate(tab)),
                       QString::fromStdString(model_.SampleDateTime(tab)));
}

void OptionsDialog::PageEdited() {
    model_.SetPage(CurrentTab(), page_->Values());
    ShowSamples();
}

void OptionsDialog::Defaults() {
    model_.SetDefaults();
    rowLimit_->setText(QString::fromStdString(model_.RowLimitText()));
    sizeLimit_->setText(QString::fromStdString(model_.SizeLimitText()));
    suppressBlobs_->setChecked(model_.SuppressBlobValues());
    ShowTab();
}

bool OptionsDialog::Store() {
    if (batchRunning_) return false;
    emit settingsStored(model_.Store(profile_));
    return true;
}

void OptionsDialog::SetBatchRunning(bool running) {
    batchRunning_ = running;
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!running);
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(!running);
}

OptionsDialog* OpenOptionsDialog(ProfileStore& profile, bool batchRunning, QWidget* parent) {
    auto* dialog = new OptionsDialog(profile, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->SetBatchRunning(batchRunning);
    dialog->open();
    return dialog;
}

} // namespace marlix
