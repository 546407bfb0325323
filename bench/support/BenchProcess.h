#pragma once
// Other programs run and measured by the benchmarks: marlix-cli and the servers' own dump tools.
#include <map>
#include <string>
#include <vector>

namespace marlix::bench {

struct Measured {
    double seconds = 0;
    double peakMB = 0;
    int status = -1;
};

// Runs a program with its standard output going to `stdoutFile` (standard error discarded) and
// its standard input read from `stdinFile` (none when empty), and measures its wall time and
// peak resident memory.
Measured RunProgram(const std::vector<std::string>& args, const std::string& stdoutFile,
                    const std::map<std::string, std::string>& environment = {},
                    const std::string& stdinFile = {});

// In a forked child: sets `environment` and runs the program `args` names; never returns (127 when
// it cannot be run).
[[noreturn]] void ExecProgram(const std::vector<std::string>& args,
                              const std::map<std::string, std::string>& environment);

// The attributes of an ODBC connection string ("Server=...;Port=...;").
std::map<std::string, std::string> Attributes(const std::string& connectionString);

} // namespace marlix::bench
