#pragma once
// The values a user typed into a result set's grid, recorded beside the fetched cells. Every
// reader of values asks through StoredValueOf, which consults this first.
#include "core/CellStorage.h"

#include <cstdint>

namespace marlix {

class EditedValues {
public:
    virtual ~EditedValues() = default;
    // The value of data row `row` and `column` when the edits decide it (an edited cell, or any
    // cell of a row added in the grid); false when the fetched cell holds it. `previous` asks
    // for the value before the unsaved edits.
    virtual bool EditedValue(int64_t row, int column, bool previous, CellRef& value) const = 0;
    // The data row of a row as the grid numbers it (rows deleted in the grid are not shown).
    virtual int64_t DataRowOf(int64_t shownRow) const noexcept = 0;
    // Whether a data row was deleted in the grid.
    virtual bool RowDeleted(int64_t dataRow) const noexcept = 0;
};

} // namespace marlix
