#pragma once
// The bar of selection boxes under the toolbar: Database, Schema and Target platform. The
// database entries show their names (cut where too long) and keep the full name as their data.
#include "core/ConversionDescription.h"

#include <QToolBar>

#include <string>
#include <vector>

class QComboBox;

namespace marlix {

class SelectionBar final : public QToolBar {
    Q_OBJECT
public:
    explicit SelectionBar(QWidget* parent = nullptr);

    QComboBox* DatabaseBox() const noexcept { return database_; }
    QComboBox* SchemaBox() const noexcept { return schema_; }
    QComboBox* TargetPlatformBox() const noexcept { return target_; }

    // Fills the Database box without announcing a choice; `selected` -1 selects nothing.
    void SetDatabases(const std::vector<std::string>& names, int selected);
    // The full name of the selected database, empty when none.
    std::string SelectedDatabase() const;
    // Empties the Schema box back to its first entry.
    void ResetSchemas();
    // The first entry (all schemas), then `schemas`; the first entry selected, no choice announced.
    void SetSchemas(const std::vector<std::string>& schemas);
    void SelectDialect(Dialect dialect);
    Dialect SelectedDialect() const;

signals:
    void databaseChosen(QString fullName);
    void schemaChosen();
    void targetPlatformChosen(marlix::Dialect dialect);

private:
    QComboBox* database_;
    QComboBox* schema_;
    QComboBox* target_;
    bool filling_ = false;
};

} // namespace marlix
