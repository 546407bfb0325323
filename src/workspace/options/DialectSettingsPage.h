#pragma once
// The page of one dialect inside the Options dialog: its date and time patterns with a sample
// of each, whether dates are quoted and always written with their time, whether values are
// written as exact literals, and autocommit for the tab's server type. The dialog shows one tab's record on
// it at a time.
#include "workspace/options/OptionsModel.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace marlix {

class DialectSettingsPage final : public QWidget {
    Q_OBJECT
public:
    explicit DialectSettingsPage(QWidget* parent = nullptr);

    // Shows a record; emits nothing.
    void Show(const DialectPageValues& values);
    DialectPageValues Values() const;
    void ShowSamples(const QString& date, const QString& dateTime);

    QLineEdit* DatePattern() const noexcept { return date_; }
    QLineEdit* TimePattern() const noexcept { return time_; }
    QLineEdit* SampleDate() const noexcept { return sampleDate_; }
    QLineEdit* SampleDateTime() const noexcept { return sampleDateTime_; }
    QCheckBox* DatesInQuotes() const noexcept { return quotes_; }
    QCheckBox* AlwaysDateTime() const noexcept { return dateTime_; }
    QCheckBox* ExactLiterals() const noexcept { return exact_; }
    QCheckBox* Autocommit() const noexcept { return autocommit_; }

signals:
    // The user changed a value on the page.
    void edited();

private:
    QLineEdit* date_;
    QLineEdit* time_;
    QLineEdit* sampleDate_;
    QLineEdit* sampleDateTime_;
    QCheckBox* quotes_;
    QCheckBox* dateTime_;
    QCheckBox* exact_;
    QCheckBox* autocommit_;
    bool showing_ = false;
};

} // namespace marlix
