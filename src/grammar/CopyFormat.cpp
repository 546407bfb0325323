#include "grammar/CopyFormat.h"

#include "core/CaseFold.h"

#include <cstring>
#include <utility>

namespace marlix {
namespace {

// '...' with doubled quotes, or E'...' with backslash escapes; a word stands for itself.
std::string ValueOf(std::string_view token) {
    const bool escapes = !token.empty() && (token[0] == 'E' || token[0] == 'e');
    if (escapes) token.remove_prefix(1);
    if (token.size() < 2 || token.front() != '\'') return std::string(token);
    token = token.substr(1, token.size() - 2);
    std::string value;
    for (std::size_t i = 0; i < token.size(); ++i) {
        char c = token[i];
        if (c == '\'' && i + 1 < token.size()) {
            ++i;
        } else if (escapes && c == '\\' && i + 1 < token.size()) {
            c = token[++i];
            c = c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
        value += c;
    }
    return value;
}

bool IsTrue(std::string_view value) {
    return value.empty() || EqualsFolded(value, "TRUE") || EqualsFolded(value, "ON") || value == "1";
}

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string ParseCopyStatement(TokenView script, std::size_t firstToken, std::size_t endToken,
                               CopyStatement& into) {
    std::vector<std::string_view> words;
    for (std::size_t i = firstToken; i < endToken; ++i)
        if (!IsCommentLike(script.tokens[i].cls)) words.push_back(script.TextOf(i));
    std::size_t i = 1; // after COPY
    while (i < words.size() && words[i] != "(" && !EqualsFolded(words[i], "FROM"))
        into.table += words[i++];
    if (into.table.empty()) return "COPY names no table";
    if (i < words.size() && words[i] == "(") {
        for (++i; i < words.size() && words[i] != ")"; ++i)
            if (words[i] == ",")
                into.columns.emplace_back();
            else if (into.columns.empty())
                into.columns.emplace_back(words[i]);
            else
                into.columns.back() += words[i];
        ++i;
    }
    i += 2; // FROM STDIN
    if (i < words.size() && EqualsFolded(words[i], "WITH")) ++i;
    // Each option as a name and a value, in either syntax: (FORMAT csv, HEADER) or CSV HEADER.
    std::vector<std::pair<std::string, std::string>> options;
    const bool list = i < words.size() && words[i] == "(";
    for (i += list ? 1 : 0; i < words.size() && words[i] != ")"; ++i) {
        if (words[i] == ",") continue;
        std::string name(words[i]);
        std::string value;
        if (EqualsFolded(name, "CSV") || EqualsFolded(name, "BINARY")) {
            value = std::move(name);
            name = "FORMAT";
        } else if (i + 1 < words.size() && words[i + 1] != "," && words[i + 1] != ")") {
            if (!list && EqualsFolded(words[i + 1], "AS")) ++i;
            if (!list && !words[i + 1].starts_with('\'') && !words[i + 1].starts_with("E'") &&
                !EqualsFolded(name, "FORMAT"))
                return "the COPY option " + name + " is not supported";
            value = ValueOf(words[++i]);
        }
        options.emplace_back(std::move(name), std::move(value));
    }
    for (const auto& [name, value] : options)
        if (EqualsFolded(name, "FORMAT")) {
            if (EqualsFolded(value, "BINARY")) return "COPY in binary format is not supported";
            into.csv = EqualsFolded(value, "CSV");
            if (!into.csv && !EqualsFolded(value, "TEXT")) return "unknown COPY format " + value;
        }
    if (into.csv) {
        into.delimiter = ',';
        into.null.clear();
    }
    bool escapeSet = false;
    for (const auto& option : options) {
        const std::string& name = option.first;
        const std::string& value = option.second;
        const auto single = [&value](char& target) {
            if (value.size() != 1) return false;
            target = value[0];
            return true;
        };
        if (EqualsFolded(name, "FORMAT") || EqualsFolded(name, "FREEZE") || EqualsFolded(name, "ENCODING")) continue;
        if (EqualsFolded(name, "DELIMITER")) {
            if (!single(into.delimiter)) return "the COPY delimiter must be one character";
        } else if (EqualsFolded(name, "NULL")) {
            into.null = value;
        } else if (EqualsFolded(name, "HEADER")) {
            into.header = IsTrue(value);
        } else if (EqualsFolded(name, "QUOTE") && into.csv) {
            if (!single(into.quote)) return "the COPY quote must be one character";
        } else if (EqualsFolded(name, "ESCAPE") && into.csv) {
            if (!single(into.escape)) return "the COPY escape must be one character";
            escapeSet = true;
        } else {
            return "the COPY option " + name + " is not supported";
        }
    }
    if (!escapeSet) into.escape = into.quote;
    if (into.header && !into.csv) return "COPY HEADER needs the CSV format";
    return {};
}

CopyReader::CopyReader(std::string_view data, const CopyStatement& statement)
    : data_(data), statement_(statement) {}

void CopyReader::Fail(std::string message) const {
    throw CopyDataError{rowLine_, rowAt_, std::move(message)};
}

bool CopyReader::Next(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls) {
    values.resize(columns);
    nulls.assign(columns, 0);
    for (std::string& value : values)
        value.clear();
    if (statement_.csv && statement_.header && at_ == 0 && !data_.empty()) {
        // The header's fields are read like a row's, NULL marks included: both need room.
        std::vector<std::string> names(columns);
        std::vector<char> ignored(columns, 0);
        if (!NextCsv(columns, names, ignored)) return false;
    }
    return statement_.csv ? NextCsv(columns, values, nulls) : NextText(columns, values, nulls);
}

bool CopyReader::NextText(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls) {
    if (at_ >= data_.size()) return false;
    rowLine_ = line_;
    rowAt_ = at_;
    const void* lf = std::memchr(data_.data() + at_, '\n', data_.size() - at_);
    const std::size_t next = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data_.data()) : data_.size();
    std::size_t end = next;
    if (end > at_ && data_[end - 1] == '\r') --end;
    std::size_t field = 0;
    std::size_t fieldStart = at_;
    std::string ignored;
    for (std::size_t p = at_;; ++p) {
        std::string& value = field < columns ? values[field] : ignored;
        if (p == end || data_[p] == statement_.delimiter) {
            if (field < columns && data_.substr(fieldStart, p - fieldStart) == statement_.null) nulls[field] = 1;
            ++field;
            fieldStart = p + 1;
            if (p == end) break;
            continue;
        }
        char c = data_[p];
        if (c == '\\') {
            if (++p == end) Fail("a backslash ends the line");
            c = data_[p];
            switch (c) {
            case 'b': c = '\b'; break;
            case 'f': c = '\f'; break;
            case 'n': c = '\n'; break;
            case 'r': c = '\r'; break;
            case 't': c = '\t'; break;
            case 'v': c = '\v'; break;
            case 'x':
                if (p + 1 < end && HexDigit(data_[p + 1]) >= 0) {
                    int code = HexDigit(data_[++p]);
                    if (p + 1 < end && HexDigit(data_[p + 1]) >= 0) code = code * 16 + HexDigit(data_[++p]);
                    c = static_cast<char>(code);
                    if (code == 0) Fail("the escape \\x0 stands for a NUL character, which text cannot hold");
                }
                break;
            default:
                if (c >= '0' && c <= '7') {
                    int code = c - '0';
                    for (int more = 0; more < 2 && p + 1 < end && data_[p + 1] >= '0' && data_[p + 1] <= '7'; ++more)
                        code = code * 8 + (data_[++p] - '0');
                    if (code == 0 || code > 255)
                        Fail("the escape \\" + std::to_string(code) + " (octal) is not a character");
                    c = static_cast<char>(code);
                }
            }
        }
        value += c;
    }
    at_ = lf ? next + 1 : data_.size();
    ++line_;
    if (field != columns)
        Fail(std::to_string(field) + " field(s) where " + std::to_string(columns) + " column(s) are expected");
    return true;
}

bool CopyReader::NextCsv(std::size_t columns, std::vector<std::string>& values, std::vector<char>& nulls) {
    if (at_ >= data_.size()) return false;
    rowLine_ = line_;
    rowAt_ = at_;
    const char quote = statement_.quote;
    const char escape = statement_.escape;
    const std::size_t n = data_.size();
    std::size_t field = 0;
    std::string ignored;
    std::size_t p = at_;
    for (;;) {
        std::string& value = field < columns ? values[field] : ignored;
        const std::size_t fieldStart = p;
        bool quoted = false;
        while (p < n && data_[p] != statement_.delimiter && data_[p] != '\n') {
            const char c = data_[p];
            if (c == '\r' && p + 1 < n && data_[p + 1] == '\n') {
                ++p;
                continue;
            }
            if (c != quote) {
                value += c;
                ++p;
                continue;
            }
            quoted = true;
            for (++p;; ++p) {
                if (p >= n) Fail("a quoted field is not closed");
                const char q = data_[p];
                if (q == escape && p + 1 < n && (data_[p + 1] == quote || data_[p + 1] == escape) &&
                    (escape != quote || data_[p + 1] == quote)) {
                    value += data_[++p];
                } else if (q == quote) {
                    ++p;
                    break;
                } else {
                    if (q == '\n') ++line_;
                    value += q;
                }
            }
        }
        if (field < columns && !quoted) {
            std::string_view raw = data_.substr(fieldStart, p - fieldStart);
            if (raw.ends_with('\r')) raw.remove_suffix(1);
            if (raw == statement_.null) nulls[field] = 1;
        }
        ++field;
        if (p < n && data_[p] == statement_.delimiter) {
            ++p;
            continue;
        }
        break;
    }
    at_ = p < n ? p + 1 : n;
    ++line_;
    if (field != columns)
        Fail(std::to_string(field) + " field(s) where " + std::to_string(columns) + " column(s) are expected");
    return true;
}

} // namespace marlix
