// marlix-cli: runs a script as Execute Script (or Execute Statement, or Results to file) would
// in the window, without one. Standard output gets the Results text, standard error the
// Execution history.
#include "app/CliHistoryOutput.h"
#include "app/CliOptions.h"
#include "core/DialectSettings.h"
#include "core/FileException.h"
#include "core/ProfileStore.h"
#include "core/ResultSet.h"
#include "core/ScriptFile.h"
#include "core/qt/IniProfileStore.h"
#include "execution/Batch.h"
#include "db/ODBCSession.h"
#include "db/ScriptQuoting.h"
#include "execution/StandardReport.h"
#include "metadata/AnalysedScript.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <unistd.h>

using namespace marlix;

namespace {

enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2, kConnectFailed = 3, kResultsCut = 4 };

std::atomic<int> interrupts{0};

void OnInterrupt(int) {
    if (interrupts.fetch_add(1) >= 1) _exit(130); // a second Ctrl+C does not wait for the server
}

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n <= 0) return;
        text.remove_prefix(static_cast<size_t>(n));
    }
}

std::string ReadScript(const std::string& name) {
    if (name != "-") return LoadScriptFile(name);
    std::string raw((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    return NormalizeLineEnds(raw);
}

// The profile with the command line's row and size limits in place of its own, for this run.
class LimitOverrides final : public ProfileStore {
public:
    LimitOverrides(const ProfileStore& profile, const CliOptions& options)
        : profile_(profile), options_(options) {}

    int GetInt(std::string_view section, std::string_view name, int defaultValue) const override {
        if (section == kExecutionSettings && name == kDatasetRowLimit && options_.rowLimit)
            return *options_.rowLimit;
        if (section == kExecutionSettings && name == kDatasetSizeLimit && options_.sizeLimitMB)
            return *options_.sizeLimitMB;
        // One connection per run: every type's autocommit value is this run's.
        if (section == kExecutionSettings && name.starts_with("Autocommit") && options_.autocommit)
            return *options_.autocommit ? 1 : 0;
        return profile_.GetInt(section, name, defaultValue);
    }
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const override {
        return profile_.GetString(section, name, defaultValue);
    }
    // The runner writes no settings.
    void WriteInt(std::string_view, std::string_view, int) override {}
    void WriteString(std::string_view, std::string_view, std::string_view) override {}

private:
    const ProfileStore& profile_;
    const CliOptions& options_;
};

Dialect DefaultSyntax(const ProfileStore& profile) {
    int code = profile.GetInt(kSettingsSection, "DefaultSyntax", 0);
    return code >= 0 && code < kDialectCount ? static_cast<Dialect>(code) : Dialect::MSSQL;
}

int Run(const CliOptions& options) {
    std::unique_ptr<IniProfileStore> profile = options.profileFile.empty()
                                                   ? std::make_unique<IniProfileStore>()
                                                   : std::make_unique<IniProfileStore>(options.profileFile);
    LoadDialectSettings(*profile);
    CliHistoryOutput history(STDERR_FILENO, isatty(STDERR_FILENO) == 1);

    std::string text;
    try {
        text = ReadScript(options.script);
    } catch (const CFileException& e) {
        history.ShowMessage(e.what());
        return kFailed;
    }

    CODBCSession session;
    if (!session.Initialize()) {
        history.ShowMessage(kOdbcInitFailedMessage);
        return kConnectFailed;
    }
    ConnectionRequest request = options.Request("marlix-cli");
    const LimitOverrides settings(*profile, options);
    try {
        session.Connect(request, settings);
    } catch (const CODBCException& e) {
        history.AppendText(e.Message(), true);
        return kConnectFailed;
    }

    AnalysedScript script;
    // Literals end where the connected server ends them (backslash escapes on MySQL and MariaDB).
    script.Rebuild(std::move(text), TokenizerOptionsOf(session));
    bool blockError = false;
    if (script.BlockError()) {
        // The window marks the failing line; the runner names it (counting from 1) after the report.
        ReportFailure(std::make_exception_ptr(*script.BlockError()), history);
        history.AppendText("marlix-cli: METADATA error at line " +
                               std::to_string(script.BlockErrorLine() + 1) + "\r\n",
                           false);
        blockError = true;
    }

    // The target platform: the command line's, else the script's own OPTIONS block (as the
    // window's syntax list follows the script), else the profile's last choice.
    Dialect chosen = options.syntax.value_or(script.CurrentDialect().value_or(DefaultSyntax(*profile)));
    BatchRequest batchRequest;
    batchRequest.caretOffset = options.statementAt;
    batchRequest.dialect =
        options.statementAt >= 0 ? script.SyntaxAt(static_cast<size_t>(options.statementAt), chosen) : chosen;
    if (options.ToStandardOutput())
        batchRequest.outputDescriptor = STDOUT_FILENO;
    else
        batchRequest.outputFile = options.outputFile;

    std::unique_ptr<Batch> batch;
    try {
        batch = std::make_unique<Batch>(session, script, batchRequest, history, settings);
    } catch (...) {
        ReportFailure(std::current_exception(), history);
        return kFailed;
    }

    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    batch->Start();
    bool cancelSent = false;
    long long shown = -1;
    while (!batch->Wait(100)) {
        if (interrupts.load() > 0 && !cancelSent) {
            batch->Cancel();
            cancelSent = true;
        }
        long long rows = batch->FetchedRows();
        if (rows != shown && rows > 0) {
            history.ShowProgress(rows);
            shown = rows;
        }
    }
    history.ClearProgress();
    signal(SIGINT, SIG_DFL);

    if (const MemoryTextSink* output = batch->MemoryOutput()) WriteAll(STDOUT_FILENO, output->View());
    bool failed = batch->Failed() || history.ErrorReported() || blockError;
    const int cut = batch->CutResultCount();
    batch.reset();
    // Disconnecting would roll back silently what the script left uncommitted: do it openly.
    if (const int open = session.StatementsSinceCommit(); open > 0) {
        const int type = static_cast<int>(session.Type());
        try {
            session.Rollback(history);
        } catch (...) {
            ReportFailure(std::current_exception(), history);
            return kFailed;
        }
        history.AppendText("marlix-cli: rolled back: autocommit is off for this connection type (--type " +
                               std::to_string(type) + "), and " + std::to_string(open) +
                               " statement(s) since the last commit were not committed. End the script with "
                               "COMMIT, run with --autocommit on, or set " +
                               AutocommitValueName(session.Type()) +
                               "=1 under [Execution Settings] in the profile\r\n",
                           false);
        failed = true;
    }
    session.Disconnect();
    // Said last, where a pipeline's log shows it: the output is not the whole of the results.
    if (cut > 0)
        history.AppendText("marlix-cli: the row or size limit cut " + std::to_string(cut) +
                               " result(s); --row-limit 0 --size-limit 0 or --output - keep every row\r\n",
                           false);
    if (failed) return kFailed;
    return cut > 0 ? kResultsCut : kOk;
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<CliOptions> options =
        ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "marlix-cli: %s\nTry 'marlix-cli --help'.\n", error.c_str());
        return kUsage;
    }
    if (options->help) {
        std::fputs(CliUsage(), stdout);
        return kOk;
    }
    return Run(*options);
}
