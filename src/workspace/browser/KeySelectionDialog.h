#pragma once
// "Select key fields": a view of KeySelectionModel, asked by the results view when a result set
// needs key fields and has none.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marlix {

class KeySelectionModel;

class KeySelectionDialog final : public QDialog {
    Q_OBJECT
public:
    KeySelectionDialog(KeySelectionModel& model, QWidget* parent = nullptr);

    QComboBox* SourceBox() const noexcept { return source_; }
    QLineEdit* DestinationEdit() const noexcept { return destination_; }
    QListWidget* ColumnList() const noexcept { return columns_; }
    QPushButton* OkButton() const noexcept { return ok_; }

private:
    void ShowColumns();

    KeySelectionModel& model_;
    QComboBox* source_;
    QLineEdit* destination_;
    QListWidget* columns_;
    QPushButton* ok_;
};

// Shows the dialog; true when the user confirmed a choice (read it from the model).
bool AskKeyFields(KeySelectionModel& model, QWidget* parent);

} // namespace marlix
