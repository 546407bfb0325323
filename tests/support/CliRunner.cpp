#include "support/CliRunner.h"

#include "support/TestDatabases.h"

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace marlix::test {
CliRun RunCli(const std::string& name, const std::string& connection, const std::string& script,
              std::vector<std::string> extra) {
    const std::string file = TempPath(name + ".sql");
    std::ofstream(file, std::ios::binary) << script;
    const std::string out = TempPath(name + ".out");
    const std::string err = TempPath(name + ".err");
    const std::string profile = TempPath(name + "-none.ini");
    std::ofstream{profile}; // an empty profile: every setting at its default
    std::vector<std::string> args = {MARLIX_CLI_PATH, "--connect", connection, "--profile", profile};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(file);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    CliRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage = {};
        wait4(pid, &status, 0, &usage);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.maxResidentKB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&files);
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

} // namespace marlix::test
