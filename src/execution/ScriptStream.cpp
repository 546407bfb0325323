#include "execution/ScriptStream.h"

#include "core/CaseFold.h"
#include "core/FileException.h"
#include "grammar/TextFault.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace marlix {
namespace {

constexpr std::string_view kDelimiterWord = "DELIMITER";

// The delimiter a DELIMITER line sets, read as the tokenizer reads it; empty for another token.
std::optional<std::string_view> DelimiterSetBy(std::string_view line) {
    if (line.size() <= kDelimiterWord.size() || !EqualsFolded(line.substr(0, kDelimiterWord.size()), kDelimiterWord))
        return std::nullopt;
    std::size_t a = kDelimiterWord.size();
    while (a < line.size() && (line[a] == ' ' || line[a] == '\t'))
        ++a;
    std::size_t b = a;
    while (b < line.size() && static_cast<unsigned char>(line[b]) > ' ')
        ++b;
    return line.substr(a, b - a);
}

std::size_t FaultOffset(const CSyntaxException& fault) {
    return static_cast<std::size_t>(std::max(0, fault.Offset()));
}

} // namespace

ScriptStream::ScriptStream(int fd, std::string name, std::size_t blockBytes)
    : fd_(fd), name_(std::move(name)), blockBytes_(blockBytes > 0 ? blockBytes : kBlockBytes),
      startOffset_(-1) {
    // Only a regular file is read again as it was: a pipe or a terminal gives its text once.
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) startOffset_ = ::lseek(fd, 0, SEEK_CUR);
}

void ScriptStream::ReadAhead() {
    Fill(blockBytes_);
}

// Reads until the buffer holds `bytes`, or the script has ended.
void ScriptStream::Fill(std::size_t bytes) {
    while (!endOfFile_ && buffer_.size() < bytes) {
        const std::size_t had = buffer_.size();
        buffer_.resize(bytes);
        const ssize_t n = ::read(fd_, buffer_.data() + had, bytes - had);
        buffer_.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CFileException(errno, name_);
        if (n == 0) endOfFile_ = true;
    }
}

// The end of the last separator in the buffer that no text after the buffer could change: not
// inside an executable comment, not touching the buffer's end (GO could go on as GOTO, a
// delimiter could be longer), and for a line that separates (DELIMITER, a client command, the
// end of COPY data) its line end read. Text that the buffer's end cuts off (a literal, a
// comment, a body, COPY data, a METADATA block) holds no separator. At the end of the script
// every separator is final: cutting there too keeps a fault from taking the statements before
// it along. 0 when there is none.
std::size_t ScriptStream::CutPoint() const {
    const std::string_view text = buffer_;
    std::size_t cut = 0;
    bool executable = false;
    for (const Token& token : tokens_.Tokens()) {
        if (token.executable) executable = text[token.offset] == '/';
        if (!token.separator || executable || (token.End() >= text.size() && !endOfFile_)) continue;
        if (token.cls == TokenClass::Comment && !endOfFile_) {
            std::size_t p = token.End();
            while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
                ++p;
            if (p >= text.size()) continue;
        }
        cut = token.End();
    }
    return cut;
}

// Gives the memory a statement larger than a block needed back once it has been cut off.
void ScriptStream::Drop(std::size_t cut) {
    buffer_.erase(0, cut);
    if (buffer_.capacity() > 4 * blockBytes_ && buffer_.size() < blockBytes_) buffer_.shrink_to_fit();
}

// Reads on until a segment can be cut from the buffer (tokenized in tokens_): where it ends, or
// nothing after the last segment.
std::optional<std::size_t> ScriptStream::Cut() {
    if (ended_) return std::nullopt;
    for (std::size_t want = blockBytes_;; want = std::max(want, buffer_.size()) * 2) {
        Fill(want);
        if (endOfFile_ && buffer_.empty() && given_) {
            ended_ = true;
            return std::nullopt;
        }
        Tokenize(buffer_, tokens_, options_, carry_.delimiter);
        std::size_t cut = CutPoint();
        if (cut == 0 && !endOfFile_) continue;
        if (cut == 0) cut = buffer_.size();
        ended_ = endOfFile_ && cut == buffer_.size();
        given_ = true;
        // A CR LF pair the cut parted is one line end.
        firstLine_ = nextLine_ - (endsInReturn_ && !buffer_.empty() && buffer_.front() == '\n' ? 1 : 0);
        dialectBefore_ = dialect_;
        return cut;
    }
}

std::shared_ptr<const AnalysedScript> ScriptStream::Next() {
    const std::optional<std::size_t> cut = Cut();
    return cut ? Analyse(*cut) : nullptr;
}

std::shared_ptr<const AnalysedScript> ScriptStream::Analyse(std::size_t cut) {
    auto segment = std::make_shared<AnalysedScript>();
    segment->Rebuild(buffer_.substr(0, cut), options_, carry_);
    Drop(cut);
    const TokenView view = segment->View();
    Carry(view);
    if (!segment->Statements().empty()) carry_.literals = segment->Statements().back().description.literals;
    if (segment->BlockError()) carry_.readBlocks = false;
    if (segment->CurrentDialect()) dialect_ = segment->CurrentDialect();
    return segment;
}

bool ScriptStream::Check(CheckedSegment& checked) {
    checked = CheckedSegment();
    const std::optional<std::size_t> cut = Cut();
    if (!cut) return false;
    // The segment's tokens are those of the buffer up to the cut: analysed again only for its blocks.
    const std::vector<Token>& tokens = tokens_.Tokens();
    std::size_t count = 0;
    bool blocks = false;
    for (; count < tokens.size() && tokens[count].End() <= *cut; ++count)
        blocks = blocks || tokens[count].cls == TokenClass::MetadataStart;
    if (blocks) {
        checked.analysed = Analyse(*cut);
        checked.fault = FindTextFault(checked.analysed->View());
        if (checked.fault)
            checked.faultLine = firstLine_ + 1 + LineOfOffset(checked.analysed->Text(), FaultOffset(*checked.fault));
        return true;
    }
    const TokenView view{std::string_view(buffer_).substr(0, *cut), std::span<const Token>(tokens.data(), count)};
    checked.fault = FindTextFault(view);
    if (checked.fault) checked.faultLine = firstLine_ + 1 + LineOfOffset(view.text, FaultOffset(*checked.fault));
    Carry(view);
    Drop(*cut);
    return true;
}

// Where the next segment starts: its line, and the DELIMITER in force.
void ScriptStream::Carry(TokenView segment) {
    nextLine_ = firstLine_ + LineOfOffset(segment.text, segment.text.size());
    endsInReturn_ = !segment.text.empty() && segment.text.back() == '\r';
    for (std::size_t i = segment.size(); i-- > 0;) {
        const Token& token = segment.tokens[i];
        if (!token.separator || token.cls != TokenClass::Comment || token.role != TokenRole::Plain) continue;
        if (const auto delimiter = DelimiterSetBy(segment.TextOf(token))) {
            carry_.delimiter = *delimiter == ";" ? std::string() : std::string(*delimiter);
            break;
        }
    }
}

bool ScriptStream::Rewind() {
    if (startOffset_ < 0 || ::lseek(fd_, static_cast<off_t>(startOffset_), SEEK_SET) < 0) return false;
    buffer_.clear();
    endOfFile_ = given_ = ended_ = endsInReturn_ = false;
    firstLine_ = nextLine_ = 0;
    carry_ = ScriptCarry();
    dialect_.reset();
    dialectBefore_.reset();
    return true;
}

} // namespace marlix
