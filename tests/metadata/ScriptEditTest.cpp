// Edits worked out incrementally (AnalysedScript::Edit, ApplyEdit) give exactly what analysing
// the edited text from scratch gives: random edits of sample scripts, each checked against a
// fresh rebuild, with undoing edits and "/*" typed at the top and removed among them.
#include "metadata/AnalysedScript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace marlix {
namespace {

std::string Describe(const AnalysedScript& s) {
    std::ostringstream out;
    for (const Token& t : s.Script().Tokens())
        out << t.offset << ',' << t.length << ',' << int(t.cls) << t.terminated << t.separator << t.executable
            << int(t.role) << ' ';
    out << '\n';
    for (const StatementRecord& r : s.Statements()) {
        const ConversionDescription& d = r.description;
        out << r.firstToken << '-' << r.endToken << '@' << r.start << '-' << r.end << ' ' << d.sourceTable << '>'
            << d.destinationTable << int(d.type) << d.described << d.describedByBlock << d.file << d.resultSetNumber
            << d.rowsPerStatement << d.commitEvery << int(d.literals) << d.keyFields.size() << " a"
            << r.analysed.analysed << r.analysed.sourceTable << r.analysed.tables.size() << r.analysed.columns.size()
            << '\n';
    }
    for (const auto* items : {&s.ResultSetItems(), &s.SyntaxItems()})
        for (const ScriptItem& i : *items)
            out << int(i.kind) << i.start << '-' << i.end << i.block << '#' << i.statement << int(i.dialect) << '\n';
    auto tree = [&out](const ElementNode& n, auto&& self) -> void {
        out << '<' << n.Name() << n.Start() << '-' << n.End();
        for (const auto& [name, value] : n.Attributes())
            out << ' ' << name << '=' << value;
        for (const auto& [name, child] : n.Children())
            self(*child, self);
        out << '>';
    };
    tree(s.Root(), tree);
    out << '\n' << (s.CurrentDialect() ? int(*s.CurrentDialect()) : -1);
    if (s.BlockError()) out << " error " << s.BlockError()->Offset() << s.BlockError()->Message();
    for (const BlockWarning& w : s.Warnings())
        out << '\n' << w.offset << w.text;
    return out.str();
}

std::string Sample(const std::string& name) {
    std::ifstream in(std::string(MARLIX_APP_CASES) + "/" + name + ".sql", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ScriptEdits, EqualAnalysingTheEditedTextAgain) {
    const std::vector<std::string> pieces{
        "/*", "*/", ";", "'", "\"", "--", "\n", "x", " SELECT a, b FROM t t1 JOIN u ON t1.a = u.a;\n", "$$", "GO\n",
        "/*METADATA><RESULTSET Table = \"t\"/></METADATA*/", "<OPTIONS Syntax = \"ORACLE\" Literals = \"EXACT\"/>",
        "/*METADATA><OPTIONS Syntax = \"MYSQL\"/></METADATA*/", "Rows = \"0\"", "DELIMITER $$\n", "\nDELIMITER ;\n",
        "CREATE TRIGGER tr BEFORE INSERT ON t BEGIN SELECT 1; END", " BEGIN ", " END;", "\\.\n", "COPY t FROM stdin;\n",
        "\\set x 1\n", "/*!40101 SET a=1; */", "E'\\''", "/*TEXT>", "</TEXT*/", "é"};
    TokenizerOptions maria, psql, sqlite;
    maria.backslashEscapes = maria.executableComments = true;
    maria.clientCommands = ClientCommands::MySql;
    psql.nestedComments = true;
    psql.clientCommands = ClientCommands::Psql;
    sqlite.sqliteTriggers = true;
    std::mt19937 random(7);
    for (const char* name : {"conversions", "delimiter_lines", "pg_copy_data", "sqlite_trigger_unterminated",
                                    "maria_executable_comments", "date_settings"}) {
        const std::string sample = Sample(name);
        ASSERT_FALSE(sample.empty()) << name;
        for (const TokenizerOptions& options : {TokenizerOptions{}, maria, psql, sqlite}) {
            AnalysedScript edited, fresh;
            edited.Rebuild(sample, options);
            struct Step {
                std::size_t at;
                std::string removed, inserted;
            };
            std::vector<Step> done;
            auto apply = [&](std::size_t at, std::size_t removed, const std::string& inserted, bool undo) {
                const std::string before = edited.Text();
                if (!undo) done.push_back({at, before.substr(at, removed), inserted});
                if (random() % 2) {
                    edited.ApplyEdit(at, removed, inserted);
                } else {
                    std::string text = before;
                    text.replace(at, removed, inserted);
                    edited.Edit(std::move(text), at, removed, inserted.size());
                }
                fresh.Rebuild(edited.Text(), options);
                ASSERT_EQ(Describe(edited), Describe(fresh))
                    << name << " after replacing " << removed << " at " << at << " by [" << inserted << "] in\n"
                    << before;
            };
            for (int step = 0; step < 120 && !HasFatalFailure(); ++step) {
                const std::size_t size = edited.Text().size();
                const unsigned kind = random() % 10;
                if (step % 40 == 0) { // "/*" typed at the top and backspaced away
                    for (const char* c : {"/", "*"})
                        apply(c[0] == '/' ? 0 : 1, 0, c, false);
                    apply(1, 1, "", true);
                    apply(0, 1, "", true);
                    done.resize(done.size() - 2);
                } else if (kind < 3 && !done.empty()) { // undo, as the editor replays it
                    const Step last = done.back();
                    done.pop_back();
                    apply(last.at, last.inserted.size(), last.removed, true);
                } else if (kind < 5) {
                    const std::size_t at = random() % (size + 1);
                    apply(at, std::min<std::size_t>(size - at, random() % (kind == 3 ? 8 : 300)), "", false);
                } else {
                    apply(random() % (size + 1), 0, pieces[random() % pieces.size()], false);
                }
            }
        }
    }
}

} // namespace
} // namespace marlix
