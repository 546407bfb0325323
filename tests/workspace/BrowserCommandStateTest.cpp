// When the object browser's commands may run, as a table: by the selected record's kind, the
// connection, the server type and a running batch; in the context menu and by shortcut.
#include "workspace/browser/BrowserCommandState.h"

#include <gtest/gtest.h>

#include <string>

using namespace marlix;

namespace {

// The enabled commands as a string of letters: n(ame) s(chema.name) l(ist) g(enerate) w(izard)
// u(pdated mask) r(efresh).
std::string Enabled(const BrowserState& state, bool context) {
    const BrowserCommandState rules(state);
    std::string on;
    const char letters[] = "nslgwur";
    int i = 0;
    for (BrowserCommand command : kBrowserCommands) {
        if (context ? rules.ContextEnabled(command) : rules.Enabled(command)) on += letters[i];
        ++i;
    }
    return on;
}

BrowserState Connected(std::optional<CatalogNodeKind> kind, ConnectionType type = ConnectionType::MSAccess) {
    BrowserState state;
    state.connected = true;
    state.serverType = type;
    state.selected = kind;
    return state;
}

} // namespace

TEST(BrowserCommandState, ContextMenuByKind) {
    struct Case {
        std::optional<CatalogNodeKind> kind;
        ConnectionType type;
        const char* enabled;
    };
    const Case cases[] = {
        {CatalogNodeKind::Table, ConnectionType::MicrosoftSQL, "nslgwur"},
        {CatalogNodeKind::Table, ConnectionType::MySQL, "nslgwr"},
        {CatalogNodeKind::Table, ConnectionType::Oracle, "nslgwr"},
        {CatalogNodeKind::Column, ConnectionType::MicrosoftSQL, "ns"},
        {CatalogNodeKind::TableFolder, ConnectionType::MySQL, "r"},
        {CatalogNodeKind::ProcedureFolder, ConnectionType::MySQL, "r"},
        {CatalogNodeKind::Procedure, ConnectionType::MySQL, "nsr"},
        {CatalogNodeKind::Parameter, ConnectionType::MySQL, "n"},
        {CatalogNodeKind::Root, ConnectionType::MySQL, ""},
        {std::nullopt, ConnectionType::MySQL, ""}, // a placeholder
    };
    for (const Case& c : cases)
        EXPECT_EQ(Enabled(Connected(c.kind, c.type), true), c.enabled)
            << static_cast<int>(c.kind.value_or(CatalogNodeKind{}));
}

TEST(BrowserCommandState, WithoutAConnectionOrDuringABatch) {
    BrowserState offline = Connected(CatalogNodeKind::Table);
    offline.connected = false;
    EXPECT_EQ(Enabled(offline, true), "");
    EXPECT_EQ(Enabled(offline, false), "ns"); // names need no catalog read
    EXPECT_FALSE(BrowserCommandState(offline).CatalogAllowed());

    BrowserState busy = Connected(CatalogNodeKind::Table, ConnectionType::MicrosoftSQL);
    busy.batchRunning = true;
    EXPECT_EQ(Enabled(busy, true), "ns");
    EXPECT_EQ(Enabled(busy, false), "ns");
    EXPECT_FALSE(BrowserCommandState(busy).CatalogAllowed());
    EXPECT_EQ(Enabled(Connected(CatalogNodeKind::Procedure), false), "nsr");
}
