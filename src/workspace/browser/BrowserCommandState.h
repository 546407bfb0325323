#pragma once
// When each command of the object browser may run: in its context menu, by the selected record's
// kind, the connection and the server type; by shortcut, the same commands on the selected
// record. None that reads the catalog runs while a batch holds the connection.
#include "catalog/CatalogNode.h"
#include "db/ODBCSession.h"

#include <optional>

namespace marlix {

// The browser's commands, numbered as in its menu.
enum class BrowserCommand : int {
    CopyName = 57634,
    CopySchemaName = 32808,
    CopyColumns = 32846,
    GenerateSelect = 32797,
    OutputWizard = 32775,
    ColumnsUpdated = 32845,
    Refresh = 32777,
};

inline constexpr BrowserCommand kBrowserCommands[] = {
    BrowserCommand::CopyName,       BrowserCommand::CopySchemaName, BrowserCommand::CopyColumns,
    BrowserCommand::GenerateSelect, BrowserCommand::OutputWizard,   BrowserCommand::ColumnsUpdated,
    BrowserCommand::Refresh,
};

struct BrowserState {
    bool connected = false;
    bool batchRunning = false;
    ConnectionType serverType = ConnectionType::MicrosoftSQL;
    std::optional<CatalogNodeKind> selected; // the selected item's record; none for no item or a placeholder
};

class BrowserCommandState {
public:
    explicit BrowserCommandState(const BrowserState& state) : s_(state) {}

    // The entries of the context menu.
    bool ContextEnabled(BrowserCommand command) const noexcept;
    // A shortcut while the tree has the focus.
    bool Enabled(BrowserCommand command) const noexcept;
    // The catalog may be read now (expanding, reloading).
    bool CatalogAllowed() const noexcept { return s_.connected && !s_.batchRunning; }

private:
    static bool ReadsCatalog(BrowserCommand command) noexcept;
    bool ActsOn(BrowserCommand command, CatalogNodeKind kind) const noexcept;

    BrowserState s_;
};

} // namespace marlix
