#pragma once
// The Metadata Wizard's two roads into the script. From the script editor (Output wizard, Ctrl+W):
// on a block it edits that block's RESULTSET element; anywhere else it composes a new block for
// the statement there and inserts it at the caret, or at the mouse for the context menu. From the
// object browser, on a table: a new block for that table replaces the editor's selection.
#include <QObject>

#include <cstddef>

namespace marlix {

class CMainFrame;
struct CatalogTable;

class WizardCommands final : public QObject {
    Q_OBJECT
public:
    explicit WizardCommands(CMainFrame& frame);

    // The menu's and the shortcut's command, at the editor's caret.
    void AtCaret();
    // The editor's context-menu command, at the position under the mouse.
    void AtMouse();
    // True when the wizard was confirmed and its text went into the script.
    bool OpenAt(std::size_t position);

private:
    CMainFrame& frame_;
};

// The wizard on a table of the object browser (its columns read): on OK the block replaces the
// editor's selection. True when the wizard was confirmed and the text inserted.
bool OpenTableWizard(CMainFrame& frame, const CatalogTable& table);

} // namespace marlix
