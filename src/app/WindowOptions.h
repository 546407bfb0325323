#pragma once
// The command line of the window: the runner's connection options and a script to open. With a
// connection option the window connects at start.
#include "app/ConnectionOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace marlix {

struct WindowOptions : ConnectionOptions {
    std::string script; // SCRIPT
    bool help = false;
    // The automation switches: RegServer and UnregServer register and remove the session bus
    // service and the desktop entry; --automation serves the bus without a window.
    bool registerServer = false;   // -RegServer, --register
    bool unregisterServer = false; // -UnregServer, --unregister
    bool automation = false;       // --automation

    bool Registration() const noexcept { return registerServer || unregisterServer; }
};

// True when `arg` names one of the automation switches (any case, after "-" or "--").
bool IsAutomationSwitch(const std::string& arg);

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error);
const char* WindowUsage();

} // namespace marlix
