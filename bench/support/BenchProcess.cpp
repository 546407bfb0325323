#include "support/BenchProcess.h"

#include "support/BenchTable.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marlix::bench {

void ExecProgram(const std::vector<std::string>& args, const std::map<std::string, std::string>& environment) {
    for (const auto& [name, value] : environment)
        setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

Measured RunProgram(const std::vector<std::string>& args, const std::string& stdoutFile,
                    const std::map<std::string, std::string>& environment, const std::string& stdinFile) {
    double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        int out = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open("/dev/null", O_WRONLY);
        dup2(out, 1);
        dup2(err, 2);
        if (!stdinFile.empty()) {
            int in = ::open(stdinFile.c_str(), O_RDONLY);
            if (in < 0) _exit(127);
            dup2(in, 0);
        }
        ExecProgram(args, environment);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Measured m;
    m.seconds = Now() - start;
    m.peakMB = usage.ru_maxrss / 1024.0;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

std::map<std::string, std::string> Attributes(const std::string& connectionString) {
    std::map<std::string, std::string> attributes;
    size_t start = 0;
    while (start < connectionString.size()) {
        size_t end = connectionString.find(';', start);
        if (end == std::string::npos) end = connectionString.size();
        std::string pair = connectionString.substr(start, end - start);
        size_t eq = pair.find('=');
        if (eq != std::string::npos) attributes[pair.substr(0, eq)] = pair.substr(eq + 1);
        start = end + 1;
    }
    return attributes;
}

} // namespace marlix::bench
