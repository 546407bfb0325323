#pragma once
// The Metadata Wizard: a view of MetadataWizardModel. Every change goes to the model, and the
// controls are then enabled as its rules say.
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace marlix {

class MetadataWizardModel;

class MetadataWizardDialog final : public QDialog {
    Q_OBJECT
public:
    MetadataWizardDialog(MetadataWizardModel& model, QWidget* parent = nullptr);

    MetadataWizardModel& Model() noexcept { return model_; }
    QComboBox* SourceBox() const noexcept { return source_; }
    QLineEdit* DestinationEdit() const noexcept { return destination_; }
    QComboBox* TypeBox() const noexcept { return type_; }
    QComboBox* SyntaxBox() const noexcept { return syntax_; }
    QSpinBox* RowsBox() const noexcept { return rows_; }
    QSpinBox* CommitEveryBox() const noexcept { return commitEvery_; }
    QComboBox* LiteralsBox() const noexcept { return literals_; }
    QPlainTextEdit* KeyEdit() const noexcept { return keys_; }
    QListWidget* ColumnList() const noexcept { return columns_; }
    QCheckBox* GenerateBox() const noexcept { return generate_; }
    QRadioButton* SelectFieldsButton() const noexcept { return selectFields_; }
    QRadioButton* SelectAllButton() const noexcept { return selectAll_; }
    QPlainTextEdit* FieldEdit() const noexcept { return fields_; }
    QPushButton* OkButton() const noexcept { return ok_; }
    QLabel* OkHint() const noexcept { return okHint_; }

private:
    // Shows the model's lists and texts; then the enabling.
    void ShowColumns();
    void ShowTexts();
    void UpdateControls();

    MetadataWizardModel& model_;
    QComboBox* source_;
    QLineEdit* destination_;
    QComboBox* type_;
    QComboBox* syntax_;
    QSpinBox* rows_;
    QSpinBox* commitEvery_;
    QComboBox* literals_;
    QPlainTextEdit* keys_;
    QPushButton* addKeys_;
    QListWidget* columns_;
    QCheckBox* generate_;
    QRadioButton* selectFields_;
    QRadioButton* selectAll_;
    QPlainTextEdit* fields_;
    QPushButton* addFields_;
    QPushButton* addAllFields_;
    QPushButton* ok_;
    QLabel* okHint_;
    bool showing_ = false;
};

// Texts between the model (UTF-8, "\r\n" lines) and the controls.
QString WizardText(const std::string& text);
std::string ModelText(const QString& text);

} // namespace marlix
