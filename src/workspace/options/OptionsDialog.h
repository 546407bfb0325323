#pragma once
// The Options dialog: a tab per dialect with its page, the limits of a fetched result set, and
// Defaults, Apply, OK, Cancel and Help. A thin view on OptionsModel; the profile and the host's
// dialect settings change only on Apply and OK, and never while a batch runs.
#include "workspace/options/OptionsModel.h"

#include <QDialog>
#include <QDialogButtonBox>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabBar;

namespace marlix {

class DialectSettingsPage;
class ProfileStore;

class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(ProfileStore& profile, QWidget* parent = nullptr);

    const OptionsModel& Model() const noexcept { return model_; }
    int CurrentTab() const;
    void SelectTab(int tab);
    DialectSettingsPage* Page() const noexcept { return page_; }
    QTabBar* Tabs() const noexcept { return tabs_; }
    QLineEdit* RowLimit() const noexcept { return rowLimit_; }
    QLineEdit* SizeLimit() const noexcept { return sizeLimit_; }
    QPushButton* Button(QDialogButtonBox::StandardButton which) const { return buttons_->button(which); }
    // The moment the samples show; the dialog's opening moment until this is called.
    void SetSampleMoment(const TIMESTAMP_STRUCT& moment);

public slots:
    // Apply and OK wait while a batch runs.
    void SetBatchRunning(bool running);

signals:
    // Apply or OK wrote these records to the profile: the host converts with them from now on.
    void settingsStored(const marlix::DialectSettingsSet& settings);

private:
    void ShowTab();
    void ShowSamples();
    void PageEdited();
    void Defaults();
    bool Store();

    ProfileStore& profile_;
    OptionsModel model_;
    QTabBar* tabs_;
    DialectSettingsPage* page_;
    QLineEdit* rowLimit_;
    QLineEdit* sizeLimit_;
    QCheckBox* suppressBlobs_;
    QDialogButtonBox* buttons_;
    bool batchRunning_ = false;
};

// Opens the dialog window-modal over `parent` and returns it; it deletes itself when closed.
OptionsDialog* OpenOptionsDialog(ProfileStore& profile, bool batchRunning, QWidget* parent);

} // namespace marlix
