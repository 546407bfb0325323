#include "results/grid/CellTextCopy.h"

#include "core/ResultSet.h"
#include "core/ValueText.h"
#include "transform/ResultSetEdits.h"

#include <algorithm>

namespace marlix {
namespace {

struct RowRun {
    int64_t first = 0;
    int64_t last = 0;
};

// The blocks cut to the result set; empty ones dropped.
std::vector<CellBlock> Clipped(const ResultSet& resultSet, const std::vector<CellBlock>& blocks) {
    std::vector<CellBlock> clipped;
    const int64_t rows = GridRowCount(resultSet);
    const int columns = resultSet.ColumnCount();
    for (CellBlock b : blocks) {
        b.top = std::max<int64_t>(b.top, 0);
        b.bottom = std::min<int64_t>(b.bottom, rows - 1);
        b.left = std::max(b.left, 0);
        b.right = std::min(b.right, columns - 1);
        if (b.top <= b.bottom && b.left <= b.right) clipped.push_back(b);
    }
    return clipped;
}

// The rows covered by any block, as sorted runs that do not touch each other.
std::vector<RowRun> RowRuns(const std::vector<CellBlock>& blocks) {
    std::vector<RowRun> runs;
    for (const CellBlock& b : blocks)
        runs.push_back({b.top, b.bottom});
    std::sort(runs.begin(), runs.end(), [](const RowRun& a, const RowRun& b) { return a.first < b.first; });
    std::vector<RowRun> merged;
    for (const RowRun& r : runs) {
        if (!merged.empty() && r.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    return merged;
}

// Stored values as spreadsheets paste them: a value holding a tab, a line break or a leading
// double quote is quoted, its double quotes doubled, so it stays one cell.
void AppendTabSeparatedField(std::string_view value, std::string& out) {
    const bool quoted = value.find_first_of("\t\r\n") != std::string_view::npos ||
                        (!value.empty() && value.front() == '"');
    if (!quoted) {
        out.append(value);
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string SelectedCellsText(ResultSet& resultSet, const std::vector<CellBlock>& blocks, int mode,
                              const DialectSettingsSet& settings) {
    const std::vector<CellBlock> cells = Clipped(resultSet, blocks);
    if (cells.empty()) return {};
    int left = cells.front().left, right = cells.front().right;
    for (const CellBlock& b : cells) {
        left = std::min(left, b.left);
        right = std::max(right, b.right);
    }
    const auto width = static_cast<size_t>(right - left + 1);

    std::string out, value;
    std::vector<char> selected(width);
    bool firstLine = true;
    for (const RowRun& run : RowRuns(cells)) {
        // Only the blocks that meet this run are asked about its rows.
        std::vector<const CellBlock*> meeting;
        for (const CellBlock& b : cells)
            if (b.top <= run.last && b.bottom >= run.first) meeting.push_back(&b);
        const bool whole =
            meeting.size() == 1 && meeting.front()->left == left && meeting.front()->right == right;
        for (int64_t row = run.first; row <= run.last; ++row) {
            if (whole) {
                std::fill(selected.begin(), selected.end(), 1);
            } else {
                std::fill(selected.begin(), selected.end(), 0);
                for (const CellBlock* b : meeting)
                    if (row >= b->top && row <= b->bottom)
                        std::fill(selected.begin() + (b->left - left),
                                  selected.begin() + (b->right - left + 1), 1);
            }
            if (!firstLine) out += '\n';
            firstLine = false;
            // The grid numbers the rows it shows: rows deleted in it are skipped.
            const int64_t data = resultSet.edits ? resultSet.edits->DataRowOf(row) : row;
            for (size_t i = 0; i < width; ++i) {
                if (i) out += '\t';
                if (!selected[i]) continue;
                const int column = left + static_cast<int>(i);
                const ColumnDescriptor& descriptor = resultSet.Column(column);
                value.clear();
                AppendValueText(descriptor, StoredValueOf(resultSet, data, column, false), mode, settings,
                                false, value);
                AppendTabSeparatedField(value, out);
            }
        }
    }
    return out;
}

int64_t GridRowCount(const ResultSet& resultSet) noexcept {
    const ResultSetEdits* edits = ResultSetEdits::Find(resultSet);
    return edits ? edits->ShownRowCount() : resultSet.RowCount();
}

} // namespace marlix
