#pragma once
// The commands on the edits of the current grid: Save edits, Discard edits, View edits as SQL
// script (with its dialog), Delete Row; and the editable grids themselves, made for every new
// result set with the catalog telling which columns can be written back.
#include <QObject>

#include <memory>

class QWidget;

namespace marlix {

class CMainFrame;
class EditableResultSetModel;
class ResultGrid;
class ResultSet;

class GridEditCommands final : public QObject {
    Q_OBJECT
public:
    explicit GridEditCommands(CMainFrame& frame);

    void Save();
    void Discard();
    void ViewScript();
    void DeleteRow();
    // Enables the four actions for the current grid; `allowed` is the window's rule (connected,
    // no batch running, a grid chosen).
    void UpdateActions(bool allowed);

    // The setting "always show the modification script before saving".
    bool AlwaysShowScript() const;

private:
    ResultGrid* MakeGrid(std::shared_ptr<ResultSet> resultSet, QWidget* parent);
    ResultGrid* CurrentGrid() const;
    EditableResultSetModel* CurrentModel() const;
    // The script dialog; false when it was closed with the window's close button.
    void ShowScript(EditableResultSetModel& model);
    void Changed(ResultGrid* grid);

    CMainFrame& frame_;
};

} // namespace marlix
