#pragma once
// The text the clipboard receives for selected grid cells: tab-separated display texts, one
// line per row. Widget-free: selections arrive as blocks of cells.
#include "core/DialectSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace marlix {

class ResultSet;

// An inclusive rectangle of cells.
struct CellBlock {
    int64_t top = 0;
    int64_t bottom = 0;
    int left = 0;
    int right = 0;
};

// The display texts (date mode `mode` with its `settings`, NULL as empty text) of the cells in `blocks`: a
// line for every row with a selected cell, from the leftmost to the rightmost selected column of all blocks,
// a tab between cells, and cells inside that span that are not selected left empty. Lines are separated by
// "\n"; the last one has no line end. Values are the stored ones; one holding a tab or a line break is
// quoted as spreadsheets quote it, so it stays one cell.
std::string SelectedCellsText(ResultSet& resultSet, const std::vector<CellBlock>& blocks, int mode,
                              const DialectSettingsSet& settings);

// The rows a grid shows of `resultSet`, without its empty row: a row whose deletion was saved is
// left out, one deleted but not saved yet stays (marked).
int64_t GridRowCount(const ResultSet& resultSet) noexcept;

} // namespace marlix
