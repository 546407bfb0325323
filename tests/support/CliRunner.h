#pragma once
// Runs marlix-cli as a pipeline would: a script file, a connection string and a settings file
// that does not exist (the defaults a new user has), standard output and standard error caught.
// Compiled into each test program that uses it, with that program's MARLIX_CLI_PATH.
#include <string>
#include <vector>

namespace marlix::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    long maxResidentKB = 0; // of this run alone
};

CliRun RunCli(const std::string& name, const std::string& connection, const std::string& script,
              std::vector<std::string> extra = {});

} // namespace marlix::test
