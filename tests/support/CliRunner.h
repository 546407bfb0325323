#pragma once
// Runs marlix-cli as a pipeline would: a script file, a connection string and a settings file
// that does not exist (the defaults a new user has), standard output and standard error caught.
// Compiled into each test program that uses it, with that program's MARLIX_CLI_PATH.
#include <string>
#include <sys/types.h>
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

// Starts marlix-cli on `script` and returns at once: standard output on the descriptor `out`
// (or the file NAME.out), standard error on the file `err` (or NAME.err).
pid_t StartCli(const std::string& name, const std::string& connection, const std::string& script,
               std::vector<std::string> extra = {}, int out = -1, const std::string& err = "");

// The exit status of a started run, or 128 + the signal that ended it.
int WaitCli(pid_t pid, long* maxResidentKB = nullptr);

} // namespace marlix::test
