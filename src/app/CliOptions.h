#pragma once
// The command line of marlix-cli.
#include "app/ConnectionOptions.h"
#include "core/ConversionDescription.h"

#include <optional>
#include <string>
#include <vector>

namespace marlix {

struct CliOptions : ConnectionOptions {
    std::optional<Dialect> syntax;  // --syntax
    std::string outputFile;         // --output; "-" for standard output
    std::optional<int> rowLimit;    // --row-limit, over the profile's for this run (0: none)
    std::optional<int> sizeLimitMB; // --size-limit, likewise
    std::optional<bool> autocommit; // --autocommit, over the profile's for this run
    int statementAt = -1;           // --statement-at
    std::string script;             // SCRIPT, or "-" for standard input
    bool help = false;

    bool ToStandardOutput() const { return outputFile == "-"; }
};

// Parses argv; on a usage error returns nothing and sets `error` to what is wrong.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);

const char* CliUsage();

} // namespace marlix
