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
};

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error);
const char* WindowUsage();

} // namespace marlix
