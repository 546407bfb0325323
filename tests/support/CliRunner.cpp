#include "support/CliRunner.h"

#include "support/TestDatabases.h"

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace marlix::test {

pid_t StartCli(const std::string& name, const std::string& connection, const std::string& script,
               std::vector<std::string> extra, int out, const std::string& err) {
    const std::string file = TempPath(name + ".sql");
    std::ofstream(file, std::ios::binary) << script;
    const std::string profile = TempPath(name + "-none.ini");
    std::ofstream{profile}; // an empty profile: every setting at its default
    std::vector<std::string> args = {MARLIX_CLI_PATH, "--connect", connection, "--profile", profile};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(file);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string outFile = TempPath(name + ".out");
    const std::string errFile = err.empty() ? TempPath(name + ".err") : err;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&files, out, 1);
    else
        posix_spawn_file_actions_addopen(&files, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int WaitCli(pid_t pid, long* maxResidentKB) {
    int status = 0;
    struct rusage usage = {};
    if (pid <= 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
    if (maxResidentKB) *maxResidentKB = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

CliRun RunCli(const std::string& name, const std::string& connection, const std::string& script,
              std::vector<std::string> extra) {
    CliRun run;
    run.status = WaitCli(StartCli(name, connection, script, std::move(extra)), &run.maxResidentKB);
    run.out = ReadFile(TempPath(name + ".out"));
    run.err = ReadFile(TempPath(name + ".err"));
    return run;
}

} // namespace marlix::test
