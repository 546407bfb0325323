// What the editor pays after every keystroke: re-tokenizing a 1 MB script of about 10,000
// statements and analysing every SELECT in it. The baseline is a bare pass over the same bytes
// that only classifies characters, measured in the same run; the last line gives the ratio. A
// PostgreSQL-style and a MariaDB-style script of 1 MB are tokenized beside their own baselines.
#include "core/CaseFold.h"
#include "grammar/CharClass.h"
#include "grammar/SelectAnalysis.h"
#include "grammar/SelectGrammar.h"
#include "grammar/Tokenizer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using marlix::TokenClass;

class Random {
public:
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33) % bound;
    }

private:
    std::uint64_t state_ = 42;
};

std::string Name(Random& r, const char* stem) {
    return std::string(stem) + std::to_string(r.Next(90) + 10);
}

// About 1 MB of statements: SELECTs with joins and conditions, METADATA blocks before some of
// them, TEXT blocks, comments, and INSERT/UPDATE statements with string literals.
std::string GenerateScript(std::size_t targetBytes, int& statements) {
    Random r;
    std::string s;
    statements = 0;
    while (s.size() < targetBytes) {
        const std::uint32_t kind = r.Next(10);
        if (kind == 0) {
            s += "/*METADATA>\r\n\t<OPTIONS Syntax = \"MSSQL\"/>\r\n\t<RESULTSET Type = \"UPDATE\", Table = "
                 "\"" +
                 Name(r, "dbo.t") +
                 "\">\r\n\t\t<KEYS>\r\n\t\t\t<KEY_ID Field = \"id\"/>\r\n\t\t</KEYS>\r\n"
                 "\t</RESULTSET>\r\n</METADATA*/\r\n";
        } else if (kind == 1) {
            s += "-- " + Name(r, "note ") + " about the next query\r\n";
        } else if (kind == 2) {
            s += "/*TEXT>PRINT '" + Name(r, "section ") + "'\r\n</TEXT*/\r\n";
        }
        if (kind < 3) {
            s += "SELECT " + Name(r, "a.col") + ", b." + Name(r, "name") +
                 " AS n, 'x' = a.qty * 2 + 1, MAX(b.v) " + "FROM " + Name(r, "dbo.orders") +
                 " a /* main */ JOIN " + Name(r, "customers") +
                 " b ON a.cid = b.id WHERE a.flag <> 0 ORDER BY 1;\r\n";
        } else if (kind < 6) {
            s += "select id, " + Name(r, "c") + " from " + Name(r, "t") +
                 " where id = " + std::to_string(r.Next(1000)) + "\r\nGO\r\n";
        } else if (kind < 8) {
            s += "INSERT INTO " + Name(r, "t") + " VALUES (" + std::to_string(r.Next(100000)) +
                 ", 'O''Brien " + Name(r, "x") + "; GO')\r\n";
        } else {
            s += "UPDATE " + Name(r, "t") + " SET name = 'n" + std::to_string(r.Next(1000)) +
                 "' WHERE id = " + std::to_string(r.Next(100000)) + ";\r\n";
        }
        ++statements;
    }
    return s;
}

bool IsSeparator(const marlix::TokenizedScript& t, std::size_t i) {
    return t.Tokens()[i].separator;
}

// About 1 MB as PostgreSQL users write it: plpgsql functions and DO blocks in dollar quotes,
// escape strings, parameters.
std::string GeneratePostgresScript(std::size_t targetBytes) {
    Random r;
    std::string s;
    while (s.size() < targetBytes) {
        const std::uint32_t kind = r.Next(4);
        if (kind == 0) {
            s += "CREATE OR REPLACE FUNCTION " + Name(r, "add_") +
                 "(i integer) RETURNS integer AS $$\r\n"
                 "BEGIN\r\n  IF i < 0 THEN RAISE NOTICE 'negative; %', i; END IF;\r\n  RETURN i + " +
                 std::to_string(r.Next(100)) + ";\r\nEND;\r\n$$ LANGUAGE plpgsql;\r\n";
        } else if (kind == 1) {
            s += "DO $body$\r\nBEGIN\r\n  INSERT INTO " + Name(r, "t") + " VALUES ($q$it's; " + Name(r, "v") +
                 "$q$);\r\nEND\r\n$body$;\r\n";
        } else if (kind == 2) {
            s += "SELECT E'line\\n" + Name(r, "x") + "\\'s; end', $1, a.v FROM " + Name(r, "t") +
                 " a WHERE a.id = $2;\r\n";
        } else {
            s += "UPDATE " + Name(r, "t") + " SET name = 'n" + std::to_string(r.Next(1000)) +
                 "' WHERE id = " + std::to_string(r.Next(100000)) + ";\r\n";
        }
    }
    return s;
}

// About 1 MB as MariaDB users write it: procedures between DELIMITER lines, backslash escapes.
std::string GenerateMariaScript(std::size_t targetBytes) {
    Random r;
    std::string s;
    while (s.size() < targetBytes) {
        if (r.Next(3) == 0) {
            s += "DELIMITER //\r\nCREATE PROCEDURE " + Name(r, "fill_") +
                 "(IN n varchar(40))\r\nBEGIN\r\n  INSERT INTO " + Name(r, "t") +
                 " VALUES (n);\r\n  SELECT COUNT(*) FROM " + Name(r, "t") + ";\r\nEND//\r\nDELIMITER ;\r\n";
        } else {
            s += "INSERT INTO " + Name(r, "t") + " VALUES (" + std::to_string(r.Next(100000)) +
                 ", 'O\\'Brien; " + Name(r, "x") + "', \"say \\\"hi\\\"\");\r\n";
        }
    }
    return s;
}

// Splits at ";" and "GO" and analyses every statement that begins with SELECT into a fresh
// description, as the editor rebuilds its statement records; returns the number analysed.
int AnalyseAll(const marlix::TokenizedScript& t) {
    const auto& tokens = t.Tokens();
    std::vector<marlix::AnalysedDescription> out;
    std::size_t begin = 0;
    int analysed = 0;
    for (std::size_t i = 0; i <= tokens.size(); ++i) {
        if (i < tokens.size() && !IsSeparator(t, i)) continue;
        std::size_t first = begin;
        while (first < i && marlix::IsCommentLike(tokens[first].cls))
            ++first;
        if (first < i && marlix::EqualsFolded(t.TokenText(first), "SELECT")) {
            marlix::AnalysedDescription& d = out.emplace_back();
            marlix::AnalyseSelect(d, t.View(), first, i);
            analysed += d.analysed;
        }
        begin = i + 1;
    }
    return analysed;
}

// The baseline: one pass over the bytes, classifying each with the tokenizer's table.
std::size_t ClassifyBytes(const std::string& s) {
    std::size_t transitions = 0;
    std::uint8_t previous = 0;
    for (char c : s) {
        const std::uint8_t k = marlix::charclass::kTable[static_cast<unsigned char>(c)];
        transitions += k != previous;
        previous = k;
    }
    return transitions;
}

struct Timing {
    double best;
    double median;
};

template <typename F> Timing Measure(int runs, F&& f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    // runs per measurement; the best run counts
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    int statements = 0;
    const std::string script = GenerateScript(1 << 20, statements);
    const double mb = static_cast<double>(script.size()) / (1024.0 * 1024.0);
    marlix::SelectGrammar(); // built at start-up, as the application does

    marlix::TokenizedScript state;
    int analysed = 0;
    const Timing whole = Measure(runs, [&] {
        marlix::Tokenize(script, state);
        analysed = AnalyseAll(state);
    });
    const double tokenizeOnly = Measure(runs, [&] { marlix::Tokenize(script, state); }).best;
    volatile std::size_t sink = 0;
    const double baseline = Measure(runs, [&] { sink = sink + ClassifyBytes(script); }).best;

    // The scripts of the other servers, each beside its own byte-classification baseline.
    struct Styled {
        const char* name;
        std::string text;
        marlix::TokenizerOptions options;
    };
    const Styled styled[] = {{"PostgreSQL-style", GeneratePostgresScript(1 << 20), {}},
                             {"MariaDB-style", GenerateMariaScript(1 << 20), {.backslashEscapes = true}}};
    for (const Styled& st : styled) {
        marlix::TokenizedScript t;
        const double ms = Measure(runs, [&] { marlix::Tokenize(st.text, t, st.options); }).best;
        const double base = Measure(runs, [&] { sink = sink + ClassifyBytes(st.text); }).best;
        std::size_t separators = 0;
        for (const marlix::Token& k : t.Tokens())
            separators += k.separator;
        const double smb = static_cast<double>(st.text.size()) / (1024.0 * 1024.0);
        std::printf("%s script: %.2f MB, %zu tokens, %zu separators; tokenize %.2f ms, %.0f MB/s vs baseline "
                    "%.0f MB/s, ratio %.2f\n",
                    st.name, smb, t.Tokens().size(), separators, ms, smb / (ms / 1000.0),
                    smb / (base / 1000.0), base / ms);
    }

    const double tokenizeRate = mb / (tokenizeOnly / 1000.0);
    const double baselineRate = mb / (baseline / 1000.0);
    std::printf("script: %.2f MB, %d statements, %zu tokens, %d SELECTs analysed\n", mb, statements,
                state.Tokens().size(), analysed);
    std::printf("whole re-analysis (tokenize + all SELECTs): best %.2f ms, median %.2f ms of %d runs\n",
                whole.best, whole.median, runs);
    std::printf("tokenize alone: %.2f ms, %.0f MB/s\n", tokenizeOnly, tokenizeRate);
    std::printf("baseline byte classification: %.2f ms, %.0f MB/s\n", baseline, baselineRate);
    std::printf(
        "bench_grammar: tokenize %.0f MB/s vs baseline %.0f MB/s, ratio %.2f; whole re-analysis %.2f ms\n",
        tokenizeRate, baselineRate, tokenizeRate / baselineRate, whole.best);
    return 0;
}
