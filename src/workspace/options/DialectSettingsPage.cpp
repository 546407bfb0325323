#include "workspace/options/DialectSettingsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace marlix {
namespace {

QLineEdit* Sample(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

} // namespace

DialectSettingsPage::DialectSettingsPage(QWidget* parent)
    : QWidget(parent), date_(new QLineEdit(this)), time_(new QLineEdit(this)),
      sampleDate_(Sample(this, "sampleDate")), sampleDateTime_(Sample(this, "sampleDateTime")),
      quotes_(new QCheckBox(tr("Script in a string &quotes"), this)),
      dateTime_(new QCheckBox(tr("&Always script as DateTime"), this)),
      exact_(new QCheckBox(tr("E&xact literals (the target stores exactly the value fetched)"), this)),
      autocommit_(new QCheckBox(tr("Auto&commit mode"), this)) {
    setObjectName(QStringLiteral("dialectSettingsPage"));
    date_->setObjectName(QStringLiteral("datePattern"));
    time_->setObjectName(QStringLiteral("timePattern"));
    quotes_->setObjectName(QStringLiteral("datesInQuotes"));
    dateTime_->setObjectName(QStringLiteral("alwaysDateTime"));
    exact_->setObjectName(QStringLiteral("exactLiterals"));
    exact_->setToolTip(tr("Line breaks, tabs and backslashes written as the target reads them, binary "
                          "values as binary literals, numbers and timestamps with all their digits. "
                          "Off: the historic form (line breaks as \\n, other control characters as ?). "
                          "A script's OPTIONS Literals attribute overrides it."));
    autocommit_->setObjectName(QStringLiteral("autocommit"));
    const QString letters =
        tr("Y year, y year of the century, m month, d day, H hour, I hour of 12, M minute, "
           "S second, s milliseconds, p AM/PM, b jan, B January; anything else is "
           "copied as it is");
    date_->setToolTip(letters);
    time_->setToolTip(letters);

    auto* form = new QFormLayout;
    form->addRow(tr("&Date Format:"), date_);
    form->addRow(tr("&Time Format:"), time_);
    form->addRow(tr("Sample Date:"), sampleDate_);
    form->addRow(tr("Sample DateTime:"), sampleDateTime_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(quotes_);
    layout->addWidget(dateTime_);
    layout->addWidget(exact_);
    layout->addWidget(autocommit_);
    layout->addStretch(1);

    auto changed = [this] {
        if (!showing_) emit edited();
    };
    connect(date_, &QLineEdit::textChanged, this, changed);
    connect(time_, &QLineEdit::textChanged, this, changed);
    for (QCheckBox* box : {quotes_, dateTime_, exact_, autocommit_})
        connect(box, &QCheckBox::toggled, this, changed);
}

void DialectSettingsPage::Show(const DialectPageValues& values) {
    showing_ = true;
    date_->setText(QString::fromStdString(values.settings.datePattern));
    time_->setText(QString::fromStdString(values.settings.timePattern));
    quotes_->setChecked(values.settings.datesInQuotes);
    dateTime_->setChecked(values.settings.alwaysDateTime);
    exact_->setChecked(values.settings.exactLiterals);
    autocommit_->setChecked(values.autocommit);
    showing_ = false;
}

DialectPageValues DialectSettingsPage::Values() const {
    DialectPageValues values;
    values.settings.datePattern = date_->text().toStdString();
    values.settings.timePattern = time_->text().toStdString();
    values.settings.datesInQuotes = quotes_->isChecked();
    values.settings.alwaysDateTime = dateTime_->isChecked();
    values.settings.exactLiterals = exact_->isChecked();
    values.autocommit = autocommit_->isChecked();
    return values;
}

void DialectSettingsPage::ShowSamples(const QString& date, const QString& dateTime) {
    sampleDate_->setText(date);
    sampleDate_->setCursorPosition(0);
    sampleDateTime_->setText(dateTime);
    sampleDateTime_->setCursorPosition(0);
}

} // namespace marlix
