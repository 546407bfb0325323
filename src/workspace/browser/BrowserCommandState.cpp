#include "workspace/browser/BrowserCommandState.h"

namespace marlix {

bool BrowserCommandState::ReadsCatalog(BrowserCommand command) noexcept {
    return command != BrowserCommand::CopyName && command != BrowserCommand::CopySchemaName;
}

bool BrowserCommandState::ActsOn(BrowserCommand command, CatalogNodeKind kind) const noexcept {
    switch (kind) {
    case CatalogNodeKind::Table:
        return command != BrowserCommand::ColumnsUpdated || s_.serverType == ConnectionType::MicrosoftSQL;
    case CatalogNodeKind::Column:
        return command == BrowserCommand::CopyName || command == BrowserCommand::CopySchemaName;
    case CatalogNodeKind::TableFolder:
    case CatalogNodeKind::ProcedureFolder:
        return command == BrowserCommand::Refresh;
    case CatalogNodeKind::Procedure:
        return command == BrowserCommand::CopyName || command == BrowserCommand::CopySchemaName ||
               command == BrowserCommand::Refresh;
    case CatalogNodeKind::Parameter:
        return command == BrowserCommand::CopyName;
    case CatalogNodeKind::Root:
        return false;
    }
    return false;
}

bool BrowserCommandState::ContextEnabled(BrowserCommand command) const noexcept {
    if (!s_.connected || !s_.selected) return false;
    if (s_.batchRunning && ReadsCatalog(command)) return false;
    return ActsOn(command, *s_.selected);
}

bool BrowserCommandState::Enabled(BrowserCommand command) const noexcept {
    // Records stay after a disconnect; without a connection nothing is read, and only names are
    // copied.
    if (!s_.selected) return false;
    if (ReadsCatalog(command) && !CatalogAllowed()) return false;
    return ActsOn(command, *s_.selected);
}

} // namespace marlix
