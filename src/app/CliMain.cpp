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
#include "db/ODBCSession.h"
#include "db/ScriptQuoting.h"
#include "execution/AnalysisReport.h"
#include "execution/Batch.h"
#include "execution/ScriptStream.h"
#include "execution/StandardReport.h"
#include "grammar/TextFault.h"
#include "metadata/AnalysedScript.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlix;

namespace {

enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2, kConnectFailed = 3, kResultsCut = 4 };

std::atomic<int> interrupts{0};

// The output file's temporary twin while the run writes it: a second Ctrl+C removes it (unlink
// is safe in a signal handler), so that leaving at once leaves nothing half written behind.
char outputTemporary[PATH_MAX + 1] = {};

void OnInterrupt(int) {
    if (interrupts.fetch_add(1) >= 1) { // a second Ctrl+C does not wait for the server
        if (outputTemporary[0] != '\0') ::unlink(outputTemporary);
        _exit(130);
    }
}

// 0, or the error number of the write that failed.
int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// The results written over the script they come from would destroy it: the same file, by any
// name (a link, another path to it).
bool OutputIsTheScript(const CliOptions& options) {
    if (options.outputFile.empty() || options.ToStandardOutput() || options.script == "-") return false;
    struct stat script {}, output {};
    if (::stat(options.script.c_str(), &script) != 0 || ::stat(options.outputFile.c_str(), &output) != 0)
        return false;
    return script.st_dev == output.st_dev && script.st_ino == output.st_ino;
}

std::string ReadScript(const std::string& name) {
    if (name != "-") return LoadScriptFile(name);
    return std::string((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
}

constexpr std::string_view kHost = "marlix-cli: ";

// The size of the blocks a script is read in. MARLIX_SCRIPT_BLOCK_BYTES is a knob for the tests
// only: with blocks of a few bytes their scripts cross block ends inside every construct.
std::size_t ScriptBlockBytes() {
    const char* value = std::getenv("MARLIX_SCRIPT_BLOCK_BYTES");
    if (!value || !*value) return ScriptStream::kBlockBytes;
    char* end = nullptr;
    const unsigned long long bytes = std::strtoull(value, &end, 10);
    return *end == '\0' && bytes > 0 ? static_cast<std::size_t>(bytes) : ScriptStream::kBlockBytes;
}

// The script file, open while the runner reads it segment by segment.
struct ScriptDescriptor {
    int fd = -1;
    ~ScriptDescriptor() {
        if (fd > STDERR_FILENO) ::close(fd);
    }
};

// The first pass over a script file: its warnings and METADATA error, and the fault of its text
// that keeps it from running, said before anything runs, as for a script analysed whole.
// False when the script must not run. Throws CFileException.
bool CheckScript(ScriptStream& stream, HistoryOutput& history, bool& blockError) {
    std::optional<CSyntaxException> fault;
    int faultLine = 0;
    CheckedSegment segment;
    while (stream.Check(segment)) {
        if (segment.analysed) {
            ReportBlockReading(*segment.analysed, history, kHost, stream.FirstLine());
            blockError = blockError || segment.analysed->BlockError().has_value();
        }
        if (!fault && segment.fault) {
            fault = segment.fault;
            faultLine = segment.faultLine;
        }
    }
    if (fault) ReportTextFault(*fault, faultLine, history, kHost);
    return !fault;
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
    CliHistoryOutput history(STDERR_FILENO, isatty(STDERR_FILENO) == 1);
    if (OutputIsTheScript(options)) {
        history.ShowMessage("marlix-cli: the results cannot be written to " + options.outputFile +
                            ": it is the script");
        return kUsage;
    }

    // --statement-at finds its statement in the whole text; every other run reads the script
    // segment by segment, in memory that does not grow with its size.
    const bool whole = options.statementAt >= 0;
    std::string text;
    ScriptDescriptor file;
    std::unique_ptr<ScriptStream> stream;
    try {
        if (whole) {
            text = ReadScript(options.script);
        } else {
            file.fd = options.script == "-" ? STDIN_FILENO : ::open(options.script.c_str(), O_RDONLY | O_CLOEXEC);
            if (file.fd < 0) throw CFileException(errno, options.script);
            stream = std::make_unique<ScriptStream>(
                file.fd, options.script == "-" ? std::string("standard input") : options.script, ScriptBlockBytes());
            stream->ReadAhead();
        }
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

    // Literals end where the connected server ends them (backslash escapes on MySQL and MariaDB).
    const TokenizerOptions tokenizer = TokenizerOptionsOf(session);
    // Warnings and the METADATA error first, each naming its line (the window marks it); a
    // script whose text cannot run as written runs nothing. Standard input from a pipe cannot be
    // read twice: there each segment is told about as the run reaches it, and a fault stops the run.
    bool blockError = false, streamFailed = false;
    std::shared_ptr<AnalysedScript> wholeScript;
    std::shared_ptr<const AnalysedScript> first;
    std::function<std::shared_ptr<const AnalysedScript>()> nextSegment;
    try {
        if (whole) {
            wholeScript = std::make_shared<AnalysedScript>();
            wholeScript->Rebuild(std::move(text), tokenizer);
            blockError = wholeScript->BlockError().has_value();
            if (!ReportAnalysis(*wholeScript, history, kHost)) {
                session.Disconnect();
                return kFailed;
            }
            first = wholeScript;
        } else {
            stream->SetOptions(tokenizer);
            const bool checked = stream->Rereadable();
            if (checked) {
                if (!CheckScript(*stream, history, blockError)) {
                    session.Disconnect();
                    return kFailed;
                }
                if (!stream->Rewind()) throw CFileException(errno, options.script);
            }
            nextSegment = [&, checked]() -> std::shared_ptr<const AnalysedScript> {
                std::shared_ptr<const AnalysedScript> segment = stream->Next();
                if (!segment || checked) return segment;
                ReportBlockReading(*segment, history, kHost, stream->FirstLine());
                blockError = blockError || segment->BlockError().has_value();
                if (const std::optional<CSyntaxException> fault = FindTextFault(segment->View())) {
                    ReportTextFault(*fault,
                                    stream->FirstLine() + 1 +
                                        LineOfOffset(segment->Text(), static_cast<size_t>(std::max(0, fault->Offset()))),
                                    history, kHost);
                    streamFailed = true;
                    return nullptr;
                }
                return segment;
            };
            first = nextSegment();
            if (!first) {
                session.Disconnect();
                return kFailed;
            }
        }
    } catch (const CFileException& e) {
        history.ShowMessage(e.what());
        session.Disconnect();
        return kFailed;
    }

    // The target platform, as the window's box: the command line's, else the profile's last
    // choice. Each statement converts in the Syntax of the last OPTIONS element before it, when
    // there is one (the batch decides it per statement).
    Dialect chosen = options.syntax.value_or(DefaultSyntax(*profile));
    BatchRequest batchRequest;
    // --statement-at counts characters; the batch counts bytes of the loaded text.
    const size_t caret =
        whole ? ByteOffsetOfCharacter(wholeScript->Text(), static_cast<size_t>(options.statementAt)) : 0;
    batchRequest.caretOffset = whole ? static_cast<int>(std::min<size_t>(caret, INT_MAX)) : -1;
    batchRequest.dialectSettings = ReadDialectSettings(*profile);
    batchRequest.dialect = whole ? wholeScript->SyntaxAt(caret, chosen) : chosen;
    // Include commands name files beside the script (a script on standard input: the working folder).
    if (options.script != "-") batchRequest.scriptFolder = std::filesystem::path(options.script).parent_path().string();
    if (options.ToStandardOutput())
        batchRequest.outputDescriptor = STDOUT_FILENO;
    else
        batchRequest.outputFile = options.outputFile;

    std::unique_ptr<Batch> batch;
    try {
        batch = std::make_unique<Batch>(session, first, batchRequest, history, settings);
    } catch (...) {
        ReportFailure(std::current_exception(), history);
        return kFailed;
    }

    if (nextSegment)
        batch->ContinueWith([&](ScriptSegment& segment) {
            segment.script = nextSegment();
            segment.firstLine = stream->FirstLine();
            segment.dialect = stream->DialectBefore();
            return segment.script != nullptr;
        });

    if (const std::string temporary = batch->OutputTemporaryPath(); temporary.size() < sizeof outputTemporary)
        temporary.copy(outputTemporary, temporary.size());
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

    bool outputLost = false;
    if (const MemoryTextSink* output = batch->MemoryOutput()) {
        if (int error = WriteAll(STDOUT_FILENO, output->View())) {
            history.ShowMessage(CFileException(error, "standard output").what());
            outputLost = true;
        }
    }
    // A cancelled run's output is not the script's, even where every statement that ran is whole.
    bool failed = batch->Failed() || batch->EndedByCancel() || history.ErrorReported() || blockError ||
                  streamFailed || outputLost;
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
    // The history itself could not be written (standard error full or closed): nothing can say
    // so, but the status does.
    if (failed || history.WriteFailed()) return kFailed;
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
    // A profile named but not readable would run with the defaults, without its limits.
    if (!options->profileFile.empty()) {
        if (std::string problem = IniProfileStore::Unusable(options->profileFile); !problem.empty()) {
            std::fprintf(stderr, "marlix-cli: --profile %s: %s\n", options->profileFile.c_str(),
                         problem.c_str());
            return kUsage;
        }
    }
    return Run(*options);
}
